#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

// Named controls, created the way every panel needs them.
QLineEdit* makeEdit(const QString& objectName, const QString& text = QString(), QWidget* parent = nullptr);
// A security code box: one "*" per typed character.
void MaskWithStars(QLineEdit* edit);
QCheckBox* makeCheck(const QString& objectName, const QString& caption, QWidget* parent = nullptr);
QRadioButton* makeRadio(const QString& objectName, const QString& caption, QWidget* parent = nullptr);
QListWidget* makeList(const QString& objectName, QWidget* parent = nullptr);
QPlainTextEdit* makeMemo(const QString& objectName, QWidget* parent = nullptr);
