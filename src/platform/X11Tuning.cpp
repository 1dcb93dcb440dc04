// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11Tuning.h"

#include <QByteArray>

namespace {
const char* const noSharedMemory = "QT_XCB_NO_MITSHM";
}

X11Tuning::X11Tuning() : m_userChose(qEnvironmentVariableIsSet(noSharedMemory))
{
    if (!m_userChose)
        qputenv(noSharedMemory, QByteArrayLiteral("1"));
}

void X11Tuning::applicationMade()
{
    if (!m_userChose)
        qunsetenv(noSharedMemory);
}
