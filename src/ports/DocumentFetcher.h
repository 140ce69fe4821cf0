// Port: fetching a document by its web address. The desktop and the command-line program fetch over
// HTTP(S) with a transfer timeout; tests serve documents from memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "foundation/Status.h"

namespace lumatag {

// Transport failures, in the platform's own numbering.
inline constexpr Status E_CONNECTION_REFUSED = MakeStatus(0x800704C9);
inline constexpr Status E_TRANSFER_TIMEOUT = MakeStatus(0x800705B4);
inline constexpr Status E_HOST_NOT_FOUND = MakeStatus(0x80072EE7);
inline constexpr Status E_DOCUMENT_TOO_LARGE = MakeStatus(0x800700DF);

struct FetchFailure {
  // The transport's own description of what went wrong (shown as it comes).
  std::u16string text;
};

class DocumentFetcher {
 public:
  virtual ~DocumentFetcher() = default;
  // Fetches the document at `url` into *body. A document longer than `maxBytes` is not read on:
  // E_DOCUMENT_TOO_LARGE. Any other failure (no connection, an HTTP error status, the transfer
  // timeout) returns its status and describes it in *failure.
  virtual Status Fetch(std::u16string_view url, std::size_t maxBytes, std::string* body,
                       FetchFailure* failure) = 0;
};

}  // namespace lumatag
