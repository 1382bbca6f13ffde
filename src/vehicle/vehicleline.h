#pragma once

#include "service/records.h"

#include <QString>

// Display texts of vehicles: the boxes of the cascade, the candidate lines of the "Select car"
// dialog and the lines of the garage.

QString VehicleLine(const TTypeRec& type);
QString VehicleLine(const TCarInfoRec& car);
// The model name with its production dates.
QString modelLine(const TModelRec& model);
// VehicleLine followed by " {typid}": the K-type the user searches next.
QString candidateLine(const TCarInfoRec& car);

// Manufacturer, model and engine texts and "{typid}", tab-separated.
QString garageLine(const QString& manufacturer, const QString& model, const QString& engine, int typid);
// The number between the first "{" and the next "}"; 0 when there is none.
int garageLineTypid(const QString& line);
// The question before a garage line is opened: one part of the line per line.
QString garageOpenQuestion(const QString& line);

// A K-type number as typed: the trimmed text read as a decimal integer; 0 when it is none.
int parseKType(const QString& text);
