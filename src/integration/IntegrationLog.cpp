#include "IntegrationLog.h"

Q_LOGGING_CATEGORY(lcIntegration, "kiv.integration")
