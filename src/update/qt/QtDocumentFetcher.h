// Fetching the version document with Qt Network: http and https only, redirects only to places at
// least as safe, a transfer timeout so that a server that stops answering cannot hold the program,
// and a busy state while the program waits. Needs a QCoreApplication.
#pragma once

#include <functional>

#include "ports/DocumentFetcher.h"

namespace lumatag {

class QtDocumentFetcher final : public DocumentFetcher {
 public:
  // Without any data for this long the transfer is given up.
  static constexpr int kDefaultTransferTimeoutMs = 15000;

  explicit QtDocumentFetcher(int transferTimeoutMs = kDefaultTransferTimeoutMs)
      : transferTimeoutMs_(transferTimeoutMs) {}

  // Called with true before the wait and with false after it (the desktop shows the busy cursor).
  void SetBusyHook(std::function<void(bool busy)> hook) { busy_ = std::move(hook); }

  Status Fetch(std::u16string_view url, std::size_t maxBytes, std::string* body,
               FetchFailure* failure) override;

 private:
  int transferTimeoutMs_;
  std::function<void(bool)> busy_;
};

}  // namespace lumatag
