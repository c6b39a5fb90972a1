// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources_init.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initVortalexResourceData()
{
    Q_INIT_RESOURCE(vortalex);
}

void vortalexInitResources()
{
    static const bool registered = (initVortalexResourceData(), true);
    Q_UNUSED(registered);
}
