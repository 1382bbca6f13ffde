#include "pricing/productinfo.h"

#include "catalog/producttable.h"
#include "platform/apppaths.h"
#include "platform/desktop.h"
#include "platform/formcontrols.h"
#include "platform/httpexchange.h"
#include "platform/jpegimage.h"
#include "platform/textfile.h"
#include "platform/widgets.h"
#include "service/appcontext.h"
#include "service/decoder.h"
#include "service/serviceclient.h"
#include "service/textfunctions.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

// Shows its picture centred and scaled to fit, keeping the proportions, whatever its size.
class PictureBox : public QLabel {
public:
    explicit PictureBox(QWidget* parent = nullptr) : QLabel(parent) {
        setAlignment(Qt::AlignCenter);
        setMinimumSize(1, 1);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    }
    void setPicture(const QImage& image) {
        m_picture = image;
        rescale();
    }
    void clearPicture() {
        m_picture = QImage();
        clear();
    }
    // A double click, or Enter while the picture has the focus.
    std::function<void()> onOpen;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        rescale();
    }
    void mouseDoubleClickEvent(QMouseEvent*) override {
        if (onOpen)
            onOpen();
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (onOpen && isEnterKey(event->key())) {
            onOpen();
            return;
        }
        QLabel::keyPressEvent(event);
    }

private:
    void rescale() {
        if (m_picture.isNull()) {
            clear();
            return;
        }
        const QSize room = size().boundedTo(m_picture.size().scaled(size(), Qt::KeepAspectRatio));
        setPixmap(QPixmap::fromImage(
            m_picture.scaled(room.isEmpty() ? QSize(1, 1) : room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }

    QImage m_picture;
};

namespace {

QImage toImage(const JpegPixels& pixels) {
    return QImage(reinterpret_cast<const uchar*>(pixels.rgb.constData()), pixels.width, pixels.height,
                  qsizetype(pixels.width) * 3, QImage::Format_RGB888)
        .copy();
}

} // namespace

ProductInfo::ProductInfo(AppContext& context, ProductTable& products, QWidget* parent)
    : QObject(parent), m_context(context), m_products(products) {
    buildUi(parent);
}

void ProductInfo::buildUi(QWidget* parent) {
    m_imageWidget = new QWidget(parent);
    m_imageWidget->setMinimumWidth(140);
    auto* imageLayout = new QVBoxLayout(m_imageWidget);
    imageLayout->setContentsMargins(0, 0, 0, 0);
    m_Image1 = new PictureBox;
    m_Image1->setObjectName(QStringLiteral("Image1"));
    m_Image1->onOpen = [this] { showLargePicture(); };
    // Reached by a click or Tab, so that Enter opens it as a double click does.
    m_Image1->setFocusPolicy(Qt::StrongFocus);
    m_Image1->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted palette(highlight); }"));
    m_Image1->setToolTip(QStringLiteral("Double click or Enter: show the picture larger"));
    m_Image1->hide();
    imageLayout->addWidget(m_Image1, 1);
    auto* buttons = new QHBoxLayout;
    m_SpeedButton31 = makeButton(QStringLiteral("SpeedButton31"), QStringLiteral("<"));
    m_SpeedButton31->setToolTip(QStringLiteral("previous"));
    m_SpeedButton30 = makeButton(QStringLiteral("SpeedButton30"), QStringLiteral(">"));
    m_SpeedButton30->setToolTip(QStringLiteral("next"));
    m_SpeedButton30->setEnabled(false);
    m_SpeedButton31->setEnabled(false);
    connect(m_SpeedButton31, &QToolButton::clicked, this, &ProductInfo::SpeedButton31Click);
    connect(m_SpeedButton30, &QToolButton::clicked, this, &ProductInfo::SpeedButton30Click);
    m_picturePosition = new QLabel;
    m_picturePosition->setObjectName(QStringLiteral("picturePosition"));
    m_picturePosition->setAlignment(Qt::AlignCenter);
    buttons->addWidget(m_SpeedButton31);
    buttons->addWidget(m_picturePosition);
    buttons->addWidget(m_SpeedButton30);
    imageLayout->addLayout(buttons);

    m_memoWidget = new QWidget(parent);
    auto* memoLayout = new QVBoxLayout(m_memoWidget);
    memoLayout->setContentsMargins(0, 0, 0, 0);
    m_Memo2 = makeMemo(QStringLiteral("Memo2"));
    m_Memo2->setReadOnly(true);
    memoLayout->addWidget(m_Memo2);
}

bool ProductInfo::stillCurrent(quint64 generation) const {
    QCoreApplication::processEvents();
    return generation == m_generation;
}

void ProductInfo::addLines(const QStringList& lines) {
    if (!lines.isEmpty())
        m_Memo2->appendPlainText(lines.join(QLatin1Char('\n')));
}

void ProductInfo::showProduct(int artid) {
    const quint64 generation = ++m_generation;
    m_Memo2->clear();
    m_Image1->hide();
    // The earlier product's picture must not stand for this one.
    m_Image1->clearPicture();
    m_SpeedButton30->setEnabled(false);
    m_SpeedButton31->setEnabled(false);
    m_ImageUrls.clear();
    m_downloaded.clear();
    m_pictures.reset(0);
    showPicturePosition();

    const int id = artid;
    if (id <= 0)
        return;
    const std::optional<ProductRecord> product = m_products.find(id);
    if (!product)
        return;
    addLines(productDetailLines(*product));

    if (!fillFromService(id, generation))
        return;
    m_Memo2->moveCursor(QTextCursor::Start);
    m_Memo2->verticalScrollBar()->setValue(0);
}

bool ProductInfo::fillFromService(int id, quint64 generation) {
    ServiceClient& service = *m_context.service;
    const QString images = service.CatalogRequest(
        service.KeyRequest(QStringLiteral("getImageForArticle"), QStringLiteral("artid=") + QString::number(id)));
    // A question box of the request runs its own event loop, where another refill may start.
    if (generation != m_generation)
        return false;
    if (!IsBlank(images)) {
        const Decoded<TImageRec> decoded = DecodeAnswer<TImageRec>(QStringLiteral("getImageForArticle"), images);
        // A broken answer ends the refill quietly; what is shown so far stays.
        if (!decoded.ok())
            return true;
        for (const TImageRec& image : decoded)
            m_ImageUrls << image.path;
        const int count = int(m_ImageUrls.size());
        if (count > 0)
            m_Image1->show();
        if (count > 1) {
            m_SpeedButton30->setEnabled(true);
            m_SpeedButton31->setEnabled(true);
        }
        m_pictures.reset(count);
        showPicturePosition();
        m_downloaded.fill(false, count);
        for (int n = 1; n <= count; ++n) {
            if (!stillCurrent(generation))
                return false;
            downloadPicture(n, m_ImageUrls[n - 1]);
        }
    }

    // Waiting may have let a new listing replace the table: look the product up again each time.
    std::optional<ProductRecord> record = m_products.find(id);
    if (record && IsBlank(record->crossreference)) {
        if (!stillCurrent(generation))
            return false;
        const QString answer = service.CatalogRequest(service.KeyRequest(
            QStringLiteral("GetCrossReferencesForArticle"), QStringLiteral("artid=") + QString::number(id)));
        if (generation != m_generation)
            return false;
        if (!IsBlank(answer)) {
            const Decoded<TCrossRefRec> crosses =
                DecodeAnswer<TCrossRefRec>(QStringLiteral("GetCrossReferencesForArticle"), answer);
            if (!crosses.ok())
                return true;
            m_products.setDetails(id, {groupCrossReferences(crosses), std::nullopt});
        }
        record = m_products.find(id);
    }
    if (!record)
        return false;
    addLines(crossReferenceSection(record->crossreference));

    if (IsBlank(record->aplicability)) {
        if (!stillCurrent(generation))
            return false;
        const QString answer = service.CatalogRequest(
            service.KeyRequest(QStringLiteral("GetTypesForArticle"), QStringLiteral("artid=") + QString::number(id)));
        if (generation != m_generation)
            return false;
        if (!IsBlank(answer)) {
            const Decoded<TTypeRec> types = DecodeAnswer<TTypeRec>(QStringLiteral("GetTypesForArticle"), answer);
            if (!types.ok())
                return true;
            m_products.setDetails(id, {std::nullopt, distinctApplicability(types)});
        }
        record = m_products.find(id);
    }
    if (!record)
        return false;
    addLines(applicabilitySection(record->aplicability));
    return true;
}

QString ProductInfo::pictureFile(int number) const {
    return m_context.paths->programFile(QStringLiteral("img") + QString::number(number) + QStringLiteral(".jpg"));
}

void ProductInfo::downloadPicture(int number, const QString& url) {
    const HttpResult result = HttpGet(url);
    // An error page is not a picture: only an answer with status OK is saved.
    if (!result.completed || !result.ok())
        return;
    if (!TextFile::writeAtomically(pictureFile(number), result.body))
        return;
    m_downloaded[number - 1] = true;
    if (number == 1)
        loadPicture(1);
}

void ProductInfo::loadPicture(int number) {
    // A file left by an earlier product under this number is not this product's picture.
    if (number < 1 || number > m_downloaded.size() || !m_downloaded[number - 1]) {
        m_Image1->clearPicture();
        return;
    }
    // Decoded straight to about the box's size: only that picture is kept, never the full one.
    const std::optional<JpegPixels> pixels = JpegImage::decodeFile(pictureFile(number), nullptr, m_imageWidget->size());
    if (pixels)
        m_Image1->setPicture(toImage(*pixels));
    else
        m_Image1->clearPicture();
}

void ProductInfo::SpeedButton30Click() {
    if (!m_pictures.canBrowse())
        return;
    loadPicture(m_pictures.next());
    showPicturePosition();
}

void ProductInfo::SpeedButton31Click() {
    if (!m_pictures.canBrowse())
        return;
    loadPicture(m_pictures.previous());
    showPicturePosition();
}

void ProductInfo::showPicturePosition() {
    m_picturePosition->setText(m_pictures.count() > 0
                                   ? QStringLiteral("%1/%2").arg(m_pictures.openedNumber()).arg(m_pictures.count())
                                   : QString());
}

int ProductInfo::openedPicture() const {
    if (m_Image1->isHidden())
        return 0;
    const int number = m_pictures.openedNumber();
    return number >= 1 && number <= m_ImageUrls.size() ? number : 0;
}

void ProductInfo::showLargePicture() {
    const int number = openedPicture();
    if (number == 0)
        return;
    if (!m_viewer) {
        m_viewer = new QDialog(m_imageWidget->window());
        m_viewer->setObjectName(QStringLiteral("pictureViewer"));
        m_viewer->setAttribute(Qt::WA_DeleteOnClose);
        auto* layout = new QVBoxLayout(m_viewer);
        auto* picture = new PictureBox;
        picture->setObjectName(QStringLiteral("largePicture"));
        layout->addWidget(picture, 1);
        auto* buttons = new QHBoxLayout;
        QToolButton* address = makeButton(QStringLiteral("openPictureAddress"), QStringLiteral("Open in web browser"));
        address->setToolTip(QStringLiteral("Open the picture's address in the web browser"));
        QToolButton* close = makeButton(QStringLiteral("closePicture"), QStringLiteral("Close"));
        buttons->addStretch(1);
        buttons->addWidget(address);
        buttons->addWidget(close);
        layout->addLayout(buttons);
        connect(address, &QToolButton::clicked, this, &ProductInfo::Image1DblClick);
        connect(close, &QToolButton::clicked, m_viewer, &QDialog::close);
    }
    // As large as the picture, at most most of the screen, never a postage stamp.
    QSize room(1024, 768);
    if (const QScreen* screen = m_imageWidget->screen())
        room = screen->availableGeometry().size() * 4 / 5;
    auto* picture = m_viewer->findChild<PictureBox*>(QStringLiteral("largePicture"));
    const std::optional<JpegPixels> pixels = number <= m_downloaded.size() && m_downloaded[number - 1]
                                                 ? JpegImage::decodeFile(pictureFile(number), nullptr, room)
                                                 : std::nullopt;
    if (pixels) {
        picture->setPicture(toImage(*pixels));
        m_viewer->resize(QSize(pixels->width, pixels->height).expandedTo(QSize(640, 480)).boundedTo(room) +
                         QSize(24, 60));
    } else {
        picture->clearPicture();
        picture->setText(QStringLiteral("The picture could not be read."));
        m_viewer->resize(400, 300);
    }
    m_viewer->setWindowTitle(QStringLiteral("Picture %1/%2").arg(number).arg(m_ImageUrls.size()));
    m_viewer->show();
    m_viewer->raise();
    m_viewer->activateWindow();
}

void ProductInfo::Image1DblClick() {
    const int number = openedPicture();
    if (number == 0)
        return;
    // The address comes from the service's answer: a local file or program is never opened for it.
    const QString& address = m_ImageUrls[number - 1];
    if (!address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) &&
        !address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return;
    m_context.desktop->open(address);
}
