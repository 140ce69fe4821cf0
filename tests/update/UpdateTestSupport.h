// Shared pieces of the update tests: an application context whose message boxes are recorded, the
// real XML parser, a fetcher serving documents from memory, a clock the test sets, and a settings
// store in memory.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "foundation/AppContext.h"
#include "ports/SettingsStore.h"
#include "platform/fake/MemoryRegistryStore.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "ports/Clock.h"
#include "ports/DocumentFetcher.h"
#include "update/UpdateCheck.h"
#include "update/qt/QtXmlEventParser.h"

namespace lumatag {

class SetClock final : public Clock {
 public:
  SystemTime now{2026, 3, 0, 14, 9, 30, 0, 0};
  SystemTime LocalNow() const override { return now; }
};

// Serves one document for any address, or fails like a transport.
class MemoryFetcher final : public DocumentFetcher {
 public:
  std::string document;
  Status failure = S_OK;
  std::u16string failureText;
  std::vector<std::u16string> fetched;

  Status Fetch(std::u16string_view url, std::size_t maxBytes, std::string* body,
               FetchFailure* failureOut) override {
    fetched.emplace_back(url);
    if (Failed(failure)) {
      failureOut->text = failureText;
      return failure;
    }
    if (document.size() > maxBytes) return E_DOCUMENT_TOO_LARGE;
    *body = document;
    return S_OK;
  }
};

struct UpdateHarness {
  UpdateHarness();

  // The texts of the boxes shown, in order.
  std::vector<std::u16string> Messages() const;
  // Loads `document` with `handler`; the boxes shown are in Messages().
  Status Load(std::string document, XmlDocumentHandler& handler);

  ScriptedMessagePresenter presenter;
  AppContext app;
  QtXmlEventParser parser;
  MemoryFetcher fetcher;
  SetClock clock;
  MemoryRegistryStore registry;
  SettingsStore store{registry};
};

// A version document: "versLatest" with the given "ver" elements (each a string of attributes),
// then "hists" with the given text inside.
std::string VersionDocument(const std::vector<std::string>& latest, const std::string& hists = "");

// The entry's text with "{1}" (and "{2}") filled in.
std::u16string Entry(std::uint16_t id, std::u16string_view first = {},
                     std::u16string_view second = {});

}  // namespace lumatag
