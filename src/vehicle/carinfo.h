#pragma once

#include "service/records.h"

#include <QList>

class ServiceClient;

// The vehicle of a type id ("getInfoCar"); empty when the request fails or finds nothing.
// Throws ConversionError on an answer whose integers are not integers.
QList<TCarInfoRec> RequestCarInfo(ServiceClient& service, int typid);
