#include "ClipGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "ClipGridModel.h"
#include "ClipIcons.h"
#include "ClipList.h"

namespace quillet::browser {

namespace {

constexpr int kRowHeight = 22;
constexpr int kColumnWidths[ClipGridModel::kColumns] = {40, 113, 59, 42, 119};

// Paints a cell as the grid's own background and selection, then the clip's icons or text at
// fixed offsets from the cell's corner: one line, neither wrapped nor shortened, cut at the
// cell's right edge.
class ClipCellDelegate final : public QStyledItemDelegate {
  public:
    ClipCellDelegate(const ClipList& list, QObject* parent)
        : QStyledItemDelegate(parent), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        // The style draws the background and the selection; the base delegate would draw the
        // model's text as well, so it is bypassed.
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        background.features &= ~QStyleOptionViewItem::HasDisplay;
        const QWidget* view = option.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &background, painter, view);

        const qlonglong entry = index.data(ClipGridModel::EntryRole).toLongLong();
        if (entry < 0)
            return;
        const store::ClipRow& clip = list_.at(entry);
        if (clip.DataFormat != store::kTextClip && clip.DataFormat != store::kImageClip)
            return;

        painter->save();
        painter->setClipRect(option.rect);
        const QPoint corner = option.rect.topLeft();
        if (index.column() == ClipGridModel::TypeColumn) {
            if (clip.Lock == 1)
                painter->drawPixmap(corner + QPoint(20, 3), PadlockIcon());
            painter->drawPixmap(corner + QPoint(3, 3), clip.DataFormat == store::kTextClip
                                                           ? TextClipIcon()
                                                           : ImageClipIcon());
        } else {
            const int dx = index.column() == ClipGridModel::TitleColumn ? 1 : 4;
            const bool selected = option.state & QStyle::State_Selected;
            painter->setPen(
                option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
            const QRect line(corner + QPoint(dx, 3), QSize(1 << 20, option.rect.height() - 3));
            painter->drawText(line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                              ClipGridModel::CellText(list_, entry, index.column()));
        }
        painter->restore();
    }

  private:
    const ClipList& list_;
};

}  // namespace

ClipGrid::ClipGrid(const ClipList& list, ClipGridModel& model, QWidget* parent)
    : QTableView(parent), list_(list), model_(model) {
    setModel(&model_);
    setItemDelegate(new ClipCellDelegate(list_, this));
    setAccessibleName(QStringLiteral("ClipGrid"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    setFont(font);

    // Fixed row heights keep scrolling and painting independent of the number of clips.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    for (int column = 0; column < ClipGridModel::kColumns; ++column)
        setColumnWidth(column, kColumnWidths[column]);

    // A reset of the model (rows added or removed) would scroll back to the top; the rows keep
    // their numbers instead, so the view keeps its place.
    connect(&model_, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { setProperty("keptScroll", verticalScrollBar()->value()); });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        verticalScrollBar()->setValue(property("keptScroll").toInt());
        showCurrentRow(list_.CurrentRow());
    });
}

void ClipGrid::showCurrentRow(qsizetype gridRow) {
    const QModelIndex index = model_.index(int(gridRow - 1), 0);
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

int ClipGrid::visibleRows() const {
    return std::max(1, viewport()->height() / verticalHeader()->defaultSectionSize());
}

qsizetype ClipGrid::firstVisibleRow() const {
    return std::max(0, rowAt(0)) + 1;
}

qsizetype ClipGrid::TargetRow(int key, Qt::KeyboardModifiers modifiers, qsizetype current,
                              qsizetype last, qsizetype first, int page) {
    const bool ctrl = modifiers & Qt::ControlModifier;
    qsizetype target = current;
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            if (!ctrl)
                target = current - 1;
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            if (!ctrl)
                target = current + 1;
            break;
        case Qt::Key_PageUp:
            target = ctrl ? first : current - page;
            break;
        case Qt::Key_PageDown:
            target = ctrl ? std::min(last, first + page - 1) : current + page;
            break;
        case Qt::Key_Home:
            target = 1;
            break;
        case Qt::Key_End:
            target = last;
            break;
        default:
            break;
    }
    return std::clamp<qsizetype>(target, 1, last);
}

void ClipGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const int row = rowAt(int(event->position().y()));
    if (row >= 0 && event->button() == Qt::LeftButton && !list_.isEmpty())
        Q_EMIT rowClicked(row + 1);
    event->accept();
}

void ClipGrid::mouseMoveEvent(QMouseEvent* event) {
    // Dragging over the rows must not drag the selection along.
    event->accept();
}

void ClipGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void ClipGrid::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    switch (key) {
        case Qt::Key_Delete:
            Q_EMIT deletePressed();
            return;
        case Qt::Key_Insert:
            Q_EMIT insertPressed();
            return;
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
            Q_EMIT arrowKeyPressed();
            break;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (ctrl && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        scrollRows(key == Qt::Key_Up ? -1 : 1);
        return;
    }
    const qsizetype last = list_.GridRowCount() - 1;
    const qsizetype target = TargetRow(key, event->modifiers(), list_.CurrentRow(), last,
                                       firstVisibleRow(), visibleRows());
    if (!ctrl && (key == Qt::Key_PageUp || key == Qt::Key_PageDown))
        scrollRows(key == Qt::Key_PageUp ? -visibleRows() : visibleRows());
    if (target != list_.CurrentRow())
        Q_EMIT moveRequested(target);
}

void ClipGrid::wheelEvent(QWheelEvent* event) {
    // One notch, one row; the selection stays where it is.
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ -= notches * 120;
    if (notches != 0)
        scrollRows(-notches);
    event->accept();
}

void ClipGrid::scrollRows(int rows) {
    verticalScrollBar()->setValue(verticalScrollBar()->value() + rows);
}

}  // namespace quillet::browser
