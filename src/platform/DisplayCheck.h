#pragma once

#include <QString>

// Says in one line why no window can be shown, before Qt would abort over it.
namespace DisplayCheck {
// Empty when a display can be reached, or when another platform than X11 was chosen.
QString problem();
} // namespace DisplayCheck
