// Error codes of the fetch results. They are the Windows internet client's numbers, so that a
// code means the same on every platform; the Linux client maps its own failures onto them.
#pragma once

#include <cstdint>

namespace ashtint {

inline constexpr std::int32_t ErrInternetOutOfHandles = 12001;
inline constexpr std::int32_t ErrInternetTimeout = 12002;
inline constexpr std::int32_t ErrInternetInternalError = 12004;
inline constexpr std::int32_t ErrInternetInvalidUrl = 12005;
inline constexpr std::int32_t ErrInternetUnrecognizedScheme = 12006;
inline constexpr std::int32_t ErrInternetNameNotResolved = 12007;
inline constexpr std::int32_t ErrInternetCannotConnect = 12029;
inline constexpr std::int32_t ErrInternetConnectionAborted = 12030;
inline constexpr std::int32_t ErrInternetConnectionReset = 12031;
inline constexpr std::int32_t ErrInternetInvalidCA = 12045;
inline constexpr std::int32_t ErrHttpInvalidServerResponse = 12152;
inline constexpr std::int32_t ErrHttpRedirectFailed = 12156;
inline constexpr std::int32_t ErrInternetSecurityChannelError = 12157;

// The answer is longer than the request's cap (the system's "file too large").
inline constexpr std::int32_t ErrResponseTooLarge = 223;
// The request's Accept refused what was downloaded (the system's "invalid data").
inline constexpr std::int32_t ErrContentRefused = 13;

// A request that allows no attempt at all.
inline constexpr std::int32_t ErrInvalidParameter = 87;

// An exception ended the attempt.
inline constexpr std::int32_t ErrException = -1;

}  // namespace ashtint
