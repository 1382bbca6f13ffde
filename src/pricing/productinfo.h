#pragma once

#include "pricing/productdetails.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

class QDialog;
class QLabel;
class QPlainTextEdit;
class QToolButton;
class QWidget;
class PictureBox;
class ProductTable;
struct AppContext;

// The product information panel: details, cross references, applicability, pictures.
class ProductInfo : public QObject {
    Q_OBJECT
public:
    // The panel adds the details it fetches to the product's row of the table.
    ProductInfo(AppContext& context, ProductTable& products, QWidget* parent);
    QWidget* imageWidget() const { return m_imageWidget; }
    QWidget* memoWidget() const { return m_memoWidget; }
    // Refills the panel for the product chosen in the product list (0 or an unknown id: empty).
    void showProduct(int artid);
    void SpeedButton30Click();
    void SpeedButton31Click();
    // Opens the shown picture's address in the web browser.
    void Image1DblClick();
    // A double click or Enter on the picture: the shown picture in a larger window of its own.
    void showLargePicture();

    const QStringList& imageUrls() const { return m_ImageUrls; }
    const PictureCursor& pictures() const { return m_pictures; }

private:
    void buildUi(QWidget* parent);
    // Lets the window process pending events; false when a later refill has taken over.
    bool stillCurrent(quint64 generation) const;
    void addLines(const QStringList& lines);
    // Pictures, cross references and applicability of the product; false when the refill was
    // abandoned (a later one took over, or the product left the table), true when it ran to its
    // end or a broken answer ended it.
    bool fillFromService(int id, quint64 generation);
    void downloadPicture(int number, const QString& url);
    void loadPicture(int number);
    QString pictureFile(int number) const;
    // The number of the picture a double click or Enter is about; 0 when none is shown.
    int openedPicture() const;
    // "2/3" under the picture: the one shown and how many there are.
    void showPicturePosition();

    AppContext& m_context;
    ProductTable& m_products;
    QStringList m_ImageUrls;
    // Which pictures of the shown product arrived and were saved.
    QList<bool> m_downloaded;
    PictureCursor m_pictures;
    // Raised by every refill; a refill that finds it changed after waiting gives up.
    quint64 m_generation = 0;

    QWidget* m_imageWidget = nullptr;
    QWidget* m_memoWidget = nullptr;
    QPlainTextEdit* m_Memo2 = nullptr;
    PictureBox* m_Image1 = nullptr;
    QToolButton* m_SpeedButton30 = nullptr;
    QToolButton* m_SpeedButton31 = nullptr;
    QLabel* m_picturePosition = nullptr;
    QPointer<QDialog> m_viewer;
};
