#pragma once

#include <QObject>

#include <atomic>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QToolButton;
class QWidget;
struct AppContext;
class OwnPriceTable;
struct DownloadOptions;
struct DownloadResult;

// "Connect to your price lists": the price list folder and column names, the download links
// and the catalogue of free price lists.
class PriceListsPanel : public QObject {
    Q_OBJECT
public:
    // Well above any supplier's price list; the box may set another.
    static constexpr qint64 kDefaultDownloadLimitMb = 512;

    PriceListsPanel(AppContext& context, OwnPriceTable& ownPrices, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    // "Enable function for get prices from own price lists".
    bool ownPricesEnabled() const;

    // The e-mail address a listing request is sent from (the comparator account's box).
    void setListingSender(std::function<QString()> sender) { m_listingSender = std::move(sender); }

    // Downloads from the user's links.
    void SpeedButton50Click();
    void DownloadPriceList(const QString& link);
    void SpeedButton48Click();
    void SpeedButton24Click();
    void ListBox5DblClick();
    // The free catalogue.
    void FetchFreePriceLists();
    void SpeedButton58Click();
    void ListBox6DblClick();
    void SpeedButton57Click();
    void SpeedButton52Click();

public slots:
    // Reports which files of the price-list folder a regeneration would read.
    void CheckPriceListFolder();
    // Asks, then loads the own price table again from the folder, on a worker: the window paints
    // meanwhile, and "Cancel" beside the progress bar (or Escape) stops it. The price run calls it
    // too when the table is empty.
    void SpeedButton42Click();

private:
    void buildUi(QWidget* parent);
    void connectDownloads();
    void showReDownloadState(bool switchOn);
    // The price list folder with a trailing separator; empty when it is not an existing folder.
    QString downloadFolder() const;
    // The largest file a download may bring, from its box (a number of megabytes).
    qint64 downloadLimitBytes() const;
    // One transfer on a worker, its progress shown on the progress line.
    DownloadResult transferShowingProgress(const QString& link, const QString& target, DownloadOptions options);
    void showReadingFile(int index, int count, const QString& fileName);

    AppContext& m_context;
    OwnPriceTable& m_ownPrices;
    QWidget* m_widget = nullptr;
    QLineEdit* m_Edit8 = nullptr;
    QLineEdit* m_Edit9 = nullptr;
    QLineEdit* m_Edit10 = nullptr;
    QLineEdit* m_Edit11 = nullptr;
    QCheckBox* m_CheckBox3 = nullptr;
    QPlainTextEdit* m_Memo3 = nullptr;
    QToolButton* m_SpeedButton42 = nullptr;
    QProgressBar* m_readingProgress = nullptr;
    QLabel* m_readingFile = nullptr;
    QToolButton* m_readingCancel = nullptr;
    bool m_regenerating = false;
    QCheckBox* m_CheckBox7 = nullptr;
    QListWidget* m_ListBox5 = nullptr;
    QLabel* m_Label53 = nullptr;
    QProgressBar* m_downloadProgress = nullptr;
    QToolButton* m_downloadCancel = nullptr;
    QLineEdit* m_downloadLimit = nullptr;
    // Set by the cancel button or Esc while links are downloaded.
    std::atomic<bool> m_downloadStop{false};
    QToolButton* m_SpeedButton24 = nullptr;
    QToolButton* m_SpeedButton50 = nullptr;
    QLineEdit* m_Edit12 = nullptr;
    QToolButton* m_SpeedButton48 = nullptr;
    QListWidget* m_ListBox6 = nullptr;
    QToolButton* m_SpeedButton58 = nullptr;
    QToolButton* m_SpeedButton57 = nullptr;
    QToolButton* m_SpeedButton52 = nullptr;
    std::function<QString()> m_listingSender;
};
