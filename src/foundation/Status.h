// Status codes: every operation that can fail returns a 32-bit status in the HRESULT form. Zero or
// positive is success, negative is failure.
#pragma once

#include <cstdint>

namespace lumatag {

// A status cannot be dropped unnoticed: a call whose status is thrown away does not compile. Where a
// failure truly changes nothing, IgnoreStatus says so at the call. It converts to and from the
// 32-bit value, so comparisons, switches and constants work as on the value itself.
class [[nodiscard]] Status {
 public:
  constexpr Status() = default;
  constexpr Status(std::int32_t value) : value_(value) {}
  constexpr operator std::int32_t() const { return value_; }

 private:
  std::int32_t value_ = 0;
};

// Drops a status on purpose; the caller says why in a comment.
constexpr void IgnoreStatus(Status) {}

constexpr Status MakeStatus(std::uint32_t code) {
  return static_cast<Status>(code);
}
constexpr bool Succeeded(Status s) {
  return s >= 0;
}
constexpr bool Failed(Status s) {
  return s < 0;
}

// Standard codes.
inline constexpr Status S_OK = 0;
inline constexpr Status S_FALSE = 1;
// A stored setting could not be used; its default was used instead (nothing was written).
inline constexpr Status SETTING_DEFAULTED = 0x00000500;
inline constexpr Status E_NOTIMPL = MakeStatus(0x80004001);
inline constexpr Status E_ABORT = MakeStatus(0x80004004);
inline constexpr Status E_FAIL = MakeStatus(0x80004005);
inline constexpr Status E_UNEXPECTED = MakeStatus(0x8000FFFF);
inline constexpr Status E_FILE_NOT_FOUND = MakeStatus(0x80070002);
inline constexpr Status E_PATH_NOT_FOUND = MakeStatus(0x80070003);
inline constexpr Status E_ACCESS_DENIED = MakeStatus(0x80070005);
inline constexpr Status E_HANDLE = MakeStatus(0x80070006);
inline constexpr Status E_OUTOFMEMORY = MakeStatus(0x8007000E);
inline constexpr Status E_NO_MORE_FILES = MakeStatus(0x80070012);
inline constexpr Status E_FILE_EXISTS = MakeStatus(0x80070050);
inline constexpr Status E_INVALIDARG = MakeStatus(0x80070057);
inline constexpr Status E_ALREADY_EXISTS = MakeStatus(0x800700B7);
inline constexpr Status E_NO_MORE_ITEMS = MakeStatus(0x80070103);
inline constexpr Status E_NOT_FOUND = MakeStatus(0x80070490);
inline constexpr Status E_RESOURCE_NOT_FOUND = MakeStatus(0x80070716);

// The program's own family.
inline constexpr Status E_VALUE_OUT_OF_RANGE = MakeStatus(0x80090500);
inline constexpr Status E_INDEX_OUT_OF_RANGE = MakeStatus(0x80090501);
inline constexpr Status E_BUFFER_TOO_SMALL = MakeStatus(0x80090502);
inline constexpr Status E_NO_VALUE = MakeStatus(0x80000503);
inline constexpr Status E_ALREADY_PRESENT = MakeStatus(0x80000504);
inline constexpr Status E_CANCELLED = MakeStatus(0x80000505);
inline constexpr Status E_END_OF_DATA = MakeStatus(0x80000506);
inline constexpr Status E_NOT_A_DIGIT = MakeStatus(0x80000507);
inline constexpr Status E_GRAPHICS_RESOURCES = MakeStatus(0x80000508);
inline constexpr Status E_INVALID_INPUT = MakeStatus(0x80000509);
inline constexpr Status E_TRUNCATED = MakeStatus(0x8000050C);
inline constexpr Status E_NOT_OPEN = MakeStatus(0x8000050E);
inline constexpr Status E_NOT_A_HEX_DIGIT = MakeStatus(0x8000050F);

// The exit status of the process after a broken invariant.
inline constexpr std::uint32_t kFatalExitStatus = 0x80090502;

// A failure reported by the platform's last-error value: 0x80070000 ORed with its low 16 bits when
// the value is positive, otherwise the caller's fallback.
constexpr Status StatusFromLastError(long lastError, Status fallback) {
  return lastError > 0 ? MakeStatus(0x80070000u | (static_cast<std::uint32_t>(lastError) & 0xFFFFu))
                       : fallback;
}

// Runtime-library error numbers (errno values) to statuses.
Status StatusFromErrno(int error);

// The image library's status values, in the order of its Status enumeration.
enum class ImagingStatus {
  Ok = 0,
  GenericError,
  InvalidParameter,
  OutOfMemory,
  ObjectBusy,
  InsufficientBuffer,
  NotImplemented,
  Win32Error,
  WrongState,
  Aborted,
  FileNotFound,
  ValueOverflow,
  AccessDenied,
  UnknownImageFormat,
  FontFamilyNotFound,
  FontStyleNotFound,
  NotTrueTypeFont,
  UnsupportedGdiplusVersion,
  GdiplusNotInitialized,
  PropertyNotFound,
  PropertyNotSupported,
  ProfileNotFound,
};
Status StatusFromImaging(ImagingStatus status);

// Ends the process at once with kFatalExitStatus. Used only for broken invariants (an array index
// outside the array, an allocation size that overflows), never for bad input.
[[noreturn]] void FatalError(const char* what);

}  // namespace lumatag

// Returns the status of `expr` from the enclosing function when it is a failure.
#define LT_TRY(expr)                                 \
  do {                                               \
    const ::lumatag::Status lt_try_status_ = (expr); \
    if (lt_try_status_ < 0) return lt_try_status_;   \
  } while (0)
