#pragma once

#include "cli/SendRequest.h"
#include "platform/PortMap.h"

// Carries out --send under the QCoreApplication main has created; the exit status.
int RunSend(const SendRequest& request, const PortMap& ports);
