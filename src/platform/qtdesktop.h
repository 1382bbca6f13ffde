#pragma once

#include "platform/desktop.h"

class QtDesktop : public Desktop {
public:
    bool open(const QString& target) override;
};
