#include "store/SharedTexts.h"

namespace quillet::store {

QString SharedTexts::get(QStringView text) {
    if (text.isEmpty())
        return {};
    if (const auto found = texts_.find(text); found != texts_.end())
        return *found;
    return *texts_.insert(text.toString()).first;
}

}  // namespace quillet::store
