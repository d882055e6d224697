// Static control styles that the wizard's controls look at (values of
// winuser.h, repeated here so that the rules also compile natively).
#pragma once

namespace pixelmoor {

inline constexpr unsigned kStaticTypeMask = 0x1F;      // SS_TYPEMASK
inline constexpr unsigned kStaticCenter = 0x1;         // SS_CENTER
inline constexpr unsigned kStaticRight = 0x2;          // SS_RIGHT
inline constexpr unsigned kStaticCenterImage = 0x200;  // SS_CENTERIMAGE

}  // namespace pixelmoor
