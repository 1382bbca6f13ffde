#pragma once

#include "service/decoder.h"
#include "service/records.h"

#include <QList>

class ServiceClient;

// The vehicle of a type id ("getInfoCar"); empty when the request fails or finds nothing, and
// with the error of an answer whose integers are not integers.
Decoded<TCarInfoRec> requestCarInfo(ServiceClient& service, int typid);
