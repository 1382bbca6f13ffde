#include "pricelists/pricelistspanel.h"

#include "platform/cancellablewait.h"
#include "platform/dialogs.h"
#include "platform/formcontrols.h"
#include "platform/localeformats.h"
#include "platform/widgets.h"
#include "pricelists/ownpricetable.h"
#include "pricelists/pricelistfolder.h"
#include "service/appcontext.h"
#include "service/guard.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

PriceListsPanel::PriceListsPanel(AppContext& context, OwnPriceTable& ownPrices, QWidget* parent)
    : QObject(parent), m_context(context), m_ownPrices(ownPrices) {
    buildUi(parent);
    connectDownloads();
    connect(m_SpeedButton42, &QToolButton::clicked, this, &PriceListsPanel::SpeedButton42Click);
}

bool PriceListsPanel::ownPricesEnabled() const {
    return m_CheckBox3->isChecked();
}

void PriceListsPanel::CheckPriceListFolder() {
    m_Memo3->clear();
    for (const QString& line : PriceListFolder::CheckReport(m_Edit8->text()))
        m_Memo3->appendPlainText(line);
}

void PriceListsPanel::SpeedButton42Click() {
    // One at a time: the price run may ask while the user's own regeneration is under way.
    if (m_regenerating ||
        !m_context.dialogs->confirm(PriceListFolder::Question(m_ownPrices.Count()), Confirmation::Routine))
        return;
    m_regenerating = true;
    m_Memo3->clear();
    m_ownPrices.Empty();
    // The worker fills a table of its own: nothing on the window thread reads it meanwhile.
    OwnPriceTable fresh;
    std::atomic<bool> cancel = false;
    QStringList problems;
    // The worker's reports reach the window in order, between its paints.
    const auto onWindow = [this](std::function<void()> step) {
        QMetaObject::invokeMethod(this, std::move(step), Qt::QueuedConnection);
    };
    PriceListFolder::Hooks hooks;
    hooks.cancel = &cancel;
    hooks.reportLine = [this, onWindow](const QString& line) {
        onWindow([this, line] { m_Memo3->appendPlainText(line); });
    };
    hooks.readingFile = [this, onWindow](int index, int count, const QString& name) {
        onWindow([this, index, count, name] { showReadingFile(index, count, name); });
    };
    hooks.sheetProblem = [&problems](const QString& path) { problems << PriceListFolder::problemText(path); };
    const PriceColumnNames names{m_Edit9->text(), m_Edit10->text(), m_Edit11->text()};
    const QChar separator = LocaleFormats::listSeparator().at(0);
    const QString folder = m_Edit8->text();
    QString error;
    m_readingCancel->show();
    runGuarded(*m_context.dialogs, [&] {
        awaitOnWorkerCancellable([&] { error = PriceListFolder::Regenerate(fresh, folder, names, separator, hooks); },
                                 cancel, m_readingCancel);
    });
    m_ownPrices.swap(fresh);
    m_readingProgress->hide();
    m_readingFile->hide();
    m_readingCancel->hide();
    m_regenerating = false;
    for (const QString& problem : std::as_const(problems))
        m_context.dialogs->information(problem);
    if (!error.isEmpty())
        m_context.dialogs->error(error);
}

void PriceListsPanel::showReadingFile(int index, int count, const QString& fileName) {
    m_readingProgress->setRange(0, count);
    m_readingProgress->setValue(index);
    m_readingProgress->show();
    m_readingFile->setText(fileName);
    m_readingFile->show();
}

void PriceListsPanel::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    m_widget->setObjectName(QStringLiteral("Panel7"));
    auto* grid = new QGridLayout(m_widget);
    int row = 0;
    grid->addWidget(makeTitle(QStringLiteral("Connect to your price lists")), row++, 0, 1, 3);
    m_CheckBox3 =
        makeCheck(QStringLiteral("CheckBox3"), QStringLiteral("Enable function for get prices from own price lists"));
    grid->addWidget(m_CheckBox3, row++, 0, 1, 3);

    auto addEdit = [&](QLineEdit*& edit, const char* name, const char* caption, const char* text) {
        edit = makeEdit(QString::fromLatin1(name), QString::fromLatin1(text));
        grid->addWidget(new QLabel(QString::fromUtf8(caption)), row, 0);
        grid->addWidget(edit, row++, 1, 1, 2);
    };
    addEdit(m_Edit8, "Edit8", "Path to folder with files", "");
    addEdit(m_Edit9, "Edit9", "Possible names columns for \"BRAND\" *", "[brand][namebrand]...");
    addEdit(m_Edit10, "Edit10", "Possible names columns for \"REFERENCE\"", "[reference][codepart][numberproduct]...");
    addEdit(m_Edit11, "Edit11", "Possible names columns for \"PRICE\"", "[price]...");
    grid->addWidget(new QLabel(QStringLiteral("Value need include between symbols \"[\" and \"]\"")), row++, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Supporting files : csv, xls, xlsx , xlsb")), row++, 0, 1, 3);
    auto* brandNote = new QLabel(QStringLiteral(
        "* - in case if in file not found column for brand then value brand will  match for name file OR value in "
        "name file between [...]"));
    brandNote->setWordWrap(true);
    grid->addWidget(brandNote, row++, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Generated own price list(s) in folder")), row++, 0, 1, 3);
    m_Memo3 = makeMemo(QStringLiteral("Memo3"));
    m_Memo3->setMinimumHeight(90);
    grid->addWidget(m_Memo3, row++, 0, 1, 3);
    m_SpeedButton42 =
        makeButton(QStringLiteral("SpeedButton42"), QStringLiteral("NEW ReGenerate and LOAD data in memory"));
    grid->addWidget(m_SpeedButton42, row++, 0, 1, 3);
    m_readingFile = new QLabel;
    m_readingFile->setObjectName(QStringLiteral("ReadingPriceListFile"));
    m_readingFile->hide();
    m_readingProgress = new QProgressBar;
    m_readingProgress->setObjectName(QStringLiteral("ReadingPriceListsProgress"));
    m_readingProgress->hide();
    m_readingCancel = makeButton(QStringLiteral("ReadingPriceListsCancel"), QStringLiteral("Cancel"));
    m_readingCancel->setToolTip(QStringLiteral("Stop reading the price lists (Esc)"));
    m_readingCancel->hide();
    grid->addWidget(m_readingFile, row, 0);
    grid->addWidget(m_readingProgress, row, 1);
    grid->addWidget(m_readingCancel, row++, 2);

    grid->addWidget(makeTitle(QStringLiteral("  WORKING WITH PRICE LISTS OTHER SUPPLIERS  ")), row++, 0, 1, 3);
    m_CheckBox7 = makeCheck(QStringLiteral("CheckBox7"),
                            QStringLiteral("Automatically re-download files according directly link(s)"));
    grid->addWidget(m_CheckBox7, row++, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral(
                        "The price lists by the links are downloaded at start of the program or by the button "
                        "\"Re-download files\"")),
                    row++, 0, 1, 3);
    m_ListBox5 = makeList(QStringLiteral("ListBox5"));
    m_ListBox5->setMinimumHeight(90);
    grid->addWidget(m_ListBox5, row++, 0, 1, 3);
    m_Label53 = new QLabel;
    m_Label53->setObjectName(QStringLiteral("Label53"));
    m_Label53->hide();
    m_downloadProgress = new QProgressBar;
    m_downloadProgress->setObjectName(QStringLiteral("DownloadProgress"));
    m_downloadProgress->hide();
    m_downloadCancel = makeButton(QStringLiteral("DownloadCancel"), QStringLiteral("Cancel"));
    m_downloadCancel->setToolTip(QStringLiteral("Stop the downloads (Esc)"));
    m_downloadCancel->hide();
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(m_downloadProgress, 1);
    progressRow->addWidget(m_downloadCancel);
    grid->addWidget(m_Label53, row, 0, 1, 2);
    grid->addLayout(progressRow, row++, 2);
    m_SpeedButton24 = makeButton(QStringLiteral("SpeedButton24"), QStringLiteral("Delete selected link"));
    m_SpeedButton50 = makeButton(QStringLiteral("SpeedButton50"), QStringLiteral("Re-download files"));
    grid->addWidget(m_SpeedButton24, row, 0);
    grid->addWidget(m_SpeedButton50, row++, 1);
    m_Edit12 = makeEdit(QStringLiteral("Edit12"), QStringLiteral("http"));
    m_SpeedButton48 = makeButton(QStringLiteral("SpeedButton48"), QStringLiteral("Add"));
    grid->addWidget(m_Edit12, row, 0, 1, 2);
    grid->addWidget(m_SpeedButton48, row++, 2);
    grid->addWidget(
        new QLabel(QStringLiteral("Url link must begin from \"http\", \"https\", \"ftp\", \"ftps\" or \"sftp\"")),
        row++, 0, 1, 3);
    m_downloadLimit = makeEdit(QStringLiteral("DownloadLimit"), QString::number(kDefaultDownloadLimitMb));
    m_downloadLimit->setToolTip(QStringLiteral("A download that grows beyond this is stopped and the old file kept"));
    grid->addWidget(new QLabel(QStringLiteral("Largest file to download, MB")), row, 0);
    grid->addWidget(m_downloadLimit, row++, 1, 1, 2);

    grid->addWidget(makeTitle(QStringLiteral("  FREE AVAILABLE PRICE LISTS")), row++, 0, 1, 3);
    auto* freeNote = new QLabel(QStringLiteral(
        "In the list you can find the price lists of large companies in your and other countries. Or you can share "
        "your price list for the opportunity to show your prices to other users of the program."));
    freeNote->setWordWrap(true);
    grid->addWidget(freeNote, row++, 0, 1, 3);
    m_ListBox6 = makeList(QStringLiteral("ListBox6"));
    m_ListBox6->setMinimumHeight(90);
    grid->addWidget(m_ListBox6, row++, 0, 1, 3);
    m_SpeedButton58 = makeButton(QStringLiteral("SpeedButton58"), QStringLiteral("UPDATE LIST"));
    m_SpeedButton58->setToolTip(QStringLiteral("UPDATE LIST"));
    m_SpeedButton57 = makeButton(QStringLiteral("SpeedButton57"), QStringLiteral("ADD"));
    m_SpeedButton57->setToolTip(QStringLiteral("ADD SELECTED LINE IN LIST FOR DOWNLOAD PRICE LISTS"));
    m_SpeedButton52 = makeButton(QStringLiteral("SpeedButton52"), QStringLiteral("ADD LINK(s) ON MY PRICE LIST(s)"));
    grid->addWidget(m_SpeedButton58, row, 0);
    grid->addWidget(m_SpeedButton57, row, 1);
    grid->addWidget(m_SpeedButton52, row++, 2);
}
