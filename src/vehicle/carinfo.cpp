#include "vehicle/carinfo.h"

#include "service/decoder.h"
#include "service/serviceclient.h"
#include "service/textfunctions.h"

Decoded<TCarInfoRec> requestCarInfo(ServiceClient& service, int typid) {
    const QString function = QStringLiteral("getInfoCar");
    const QString answer =
        service.CatalogRequest(service.KeyRequest(function, QStringLiteral("typid=") + QString::number(typid)));
    if (IsBlank(answer))
        return {};
    return DecodeAnswer<TCarInfoRec>(function, answer);
}
