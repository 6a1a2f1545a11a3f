#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <unordered_set>

namespace quillet::store {

// Hands out one shared QString per distinct text, so that values that repeat across many rows
// (the source program, the format list) take their memory once. Looking up a text that is
// already there allocates nothing.
class SharedTexts {
  public:
    // The shared copy of `text`.
    QString get(QStringView text);

  private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(QStringView text) const noexcept { return qHash(text); }
        size_t operator()(const QString& text) const noexcept { return qHash(text); }
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(QStringView a, QStringView b) const noexcept { return a == b; }
    };
    std::unordered_set<QString, Hash, Equal> texts_;
};

}  // namespace quillet::store
