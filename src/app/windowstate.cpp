#include "app/windowstate.h"

#include "platform/inifile.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QWidget>

#include <algorithm>

namespace WindowState {

namespace {
const QString kSection = QStringLiteral("window");
const QString kGeometry = QStringLiteral("geometry");
const QString kMaximized = QStringLiteral("maximized");
constexpr QSize kComfortable(1280, 800);

// "x,y,width,height"; nothing unless all four are whole numbers and the size is not empty.
std::optional<QRect> readRect(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (v[2] <= 0 || v[3] <= 0)
        return std::nullopt;
    return QRect(v[0], v[1], v[2], v[3]);
}

// The free area of the screen the point lies on, or of the primary screen.
QRect availableAround(const QPoint& point) {
    const QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}
} // namespace

QSize fittedSize(const QSize& available, const QSize& minimum) {
    const QSize twoThirds(available.width() * 2 / 3, available.height() * 2 / 3);
    QSize size = kComfortable.expandedTo(twoThirds).boundedTo(available);
    // The minimum wins over a comfortable size, never over the screen.
    return size.expandedTo(minimum.boundedTo(available));
}

std::optional<QRect> placedGeometry(const QRect& stored, const QRect& available, const QSize& minimum) {
    if (!stored.isValid() || !available.isValid())
        return std::nullopt;
    // A screen smaller than it was: the window shrinks to fit, keeping its minimum where it can.
    const QSize size = stored.size().boundedTo(available.size()).expandedTo(minimum.boundedTo(available.size()));
    QRect placed(stored.topLeft(), size);
    // Enough of it must show to be grabbed again; otherwise it comes back onto the screen.
    const QRect shown = placed.intersected(available);
    if (shown.width() < std::min(size.width(), 100) || shown.height() < std::min(size.height(), 50) ||
        placed.top() < available.top()) {
        placed.moveLeft(std::clamp(placed.left(), available.left(), available.right() - size.width() + 1));
        placed.moveTop(std::clamp(placed.top(), available.top(), available.bottom() - size.height() + 1));
    }
    return placed;
}

void restore(QWidget* window, const QString& iniPath) {
    const IniFile ini = IniFile::load(iniPath);
    const QSize minimum = window->minimumSize();
    if (const std::optional<QRect> stored = readRect(ini.text(kSection, kGeometry))) {
        if (const std::optional<QRect> placed = placedGeometry(*stored, availableAround(stored->center()), minimum)) {
            window->setGeometry(*placed);
            if (ini.integer(kSection, kMaximized, 0) == 1)
                window->setWindowState(window->windowState() | Qt::WindowMaximized);
            return;
        }
    }
    const QRect available = availableAround(window->geometry().center());
    if (!available.isValid())
        return;
    QRect fitted(QPoint(), fittedSize(available.size(), minimum));
    fitted.moveCenter(available.center());
    window->resize(fitted.size());
    window->move(fitted.topLeft());
}

bool save(const QWidget* window, const QString& iniPath, QString* error) {
    IniFile ini = IniFile::load(iniPath);
    // The size it has when not maximized, so that un-maximizing after a restart gives it back.
    const QRect normal =
        window->isMaximized() || window->isFullScreen() ? window->normalGeometry() : window->geometry();
    ini.setValue(
        kSection, kGeometry,
        QStringLiteral("%1,%2,%3,%4").arg(normal.x()).arg(normal.y()).arg(normal.width()).arg(normal.height()));
    ini.setValue(kSection, kMaximized, window->isMaximized() ? QStringLiteral("1") : QStringLiteral("0"));
    return ini.save(iniPath, error);
}

QSplitter* splitColumn(QBoxLayout* column, int first, QWidget* lower, const QString& objectName, int usableHeight) {
    const int startHeight = lower->minimumHeight() > 0 ? lower->minimumHeight() : lower->sizeHint().height();
    auto* upper = new QWidget;
    auto* upperLayout = new QBoxLayout(column->direction(), upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->setSpacing(column->spacing());
    // Items keep their order and stretch; the parts above `first` stay where they are.
    while (column->count() > first) {
        const int stretch = column->stretch(first);
        QLayoutItem* item = column->takeAt(first);
        if (QWidget* widget = item->widget()) {
            delete item;
            if (widget != lower)
                upperLayout->addWidget(widget, stretch);
        } else if (QLayout* layout = item->layout()) {
            upperLayout->addLayout(layout, stretch);
        } else {
            upperLayout->addItem(item);
        }
    }
    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName(objectName);
    split->setChildrenCollapsible(false);
    split->addWidget(upper);
    split->addWidget(lower);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    lower->setMinimumHeight(std::max(usableHeight, lower->minimumSizeHint().height()));
    lower->setMaximumHeight(QWIDGETSIZE_MAX);
    split->setSizes({std::max(upper->sizeHint().height(), 1), std::max(startHeight, lower->minimumHeight())});
    column->addWidget(split, 1);
    return split;
}

} // namespace WindowState
