#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>

class QCheckBox;
class QToolButton;
class QWidget;
class ResultRows;
class TableGrid;
struct AppContext;

// The comparison and analysis result tables and their button bars.
class ResultTables : public QObject {
    Q_OBJECT
public:
    ResultTables(AppContext& context, QWidget* parent);
    QWidget* compareWidget() const { return m_compareWidget; }
    QWidget* analysisWidget() const { return m_analysisWidget; }
    // "Clean list for each new export" of each table.
    bool cleanCompareForEachRun() const;
    bool cleanAnalysisForEachRun() const;

    // The rows the price run and its workers deliver: the table grows by one row and the row
    // before the new last row is filled. Return that row.
    int AppendCompareRow(const QStringList& cells);
    int AppendAnalysisRow(const QMap<int, QString>& cells);
    ResultRows* compareRows() const { return m_compareRows; }
    ResultRows* analysisRows() const { return m_analysisRows; }

    void SpeedButton43Click();
    void SpeedButton45Click();
    void SpeedButton44Click();
    void SpeedButton49Click();
    void SpeedButton47Click();
    void SpeedButton46Click();

private:
    void buildUi(QWidget* parent);
    QWidget* buildTab(QWidget* parent, TableGrid* grid, QCheckBox* clean, const QList<QToolButton*>& buttons);
    void deleteSelectedLine(TableGrid* grid);

    AppContext& m_context;
    ResultRows* m_compareRows = nullptr;
    ResultRows* m_analysisRows = nullptr;
    QWidget* m_compareWidget = nullptr;
    QWidget* m_analysisWidget = nullptr;
    TableGrid* m_StringGrid2 = nullptr;
    TableGrid* m_StringGrid3 = nullptr;
    QCheckBox* m_CheckBox5 = nullptr;
    QCheckBox* m_CheckBox6 = nullptr;
    QToolButton* m_SpeedButton43 = nullptr;
    QToolButton* m_SpeedButton45 = nullptr;
    QToolButton* m_SpeedButton44 = nullptr;
    QToolButton* m_SpeedButton49 = nullptr;
    QToolButton* m_SpeedButton47 = nullptr;
    QToolButton* m_SpeedButton46 = nullptr;
};
