#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class QBoxLayout;
class QSplitter;
class QWidget;

// Where the main window stands, kept between runs in section [window] of the settings file:
// "geometry" (x,y,width,height of the window's inside) and "maximized" (0 or 1). The splitters'
// sizes live in the same section, read and written with the other settings. Other sections and
// keys of the file stay as they are.
namespace WindowState {

// The size of a first start on a screen with this free area: 1280x800 or two thirds of the area,
// whichever is larger, but never beyond the area nor below the window's minimum where it fits.
QSize fittedSize(const QSize& available, const QSize& minimum);

// The place a stored geometry gets on a screen with this free area: as stored when it lies on
// the screen, moved onto it and cut to it when it does not quite; nothing when it is unusable.
std::optional<QRect> placedGeometry(const QRect& stored, const QRect& available, const QSize& minimum);

// Puts the window where it stood when it was last closed, or at the fitted size in the middle of
// its screen.
void restore(QWidget* window, const QString& iniPath);

// Writes the window's place and size into the file.
bool save(const QWidget* window, const QString& iniPath, QString* error = nullptr);

// Makes the lower part of a column resizable: the column's items from `first` on (those above
// `lower`) move into one pane, `lower` into a second pane below it, with a handle between them
// that the user drags. `lower` starts at the height it was given and keeps at least the height its
// contents need (never less than `usableHeight`); the upper pane takes what the window adds.
// Hiding `lower` gives its room to the upper pane.
QSplitter* splitColumn(QBoxLayout* column, int first, QWidget* lower, const QString& objectName, int usableHeight);

} // namespace WindowState
