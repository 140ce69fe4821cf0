// The version document (it comes from the network): loading never crashes, hangs or reads past the
// input, shows at most one problem per load, shows nothing when the load succeeds, and what it
// collects can always be turned into the Update Available dialog's texts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/AppContext.h"
#include "ports/MessagePresenter.h"
#include "update/UpdateDialogs.h"
#include "update/VersionInfo.h"
#include "update/XmlLoader.h"
#include "update/qt/QtXmlEventParser.h"

namespace {

class CountingPresenter final : public lumatag::MessagePresenter {
 public:
  int shown = 0;
  int Show(std::u16string_view, std::u16string_view, std::uint32_t, bool) override {
    ++shown;
    return lumatag::IDOK;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumatag;
  CountingPresenter presenter;
  AppContext app;
  app.presenter = &presenter;
  QtXmlEventParser parser;
  VersionInfo info(u"Lumatag", u"1.2.2");
  Status status;
  {
    XmlLoader loader(app, parser);
    if (Failed(InitXmlLoader(loader, &info))) __builtin_trap();
    IgnoreStatus(SetXmlDocument(loader, std::string(reinterpret_cast<const char*>(data), size)));
    status = ParseXml(loader);
  }
  if (presenter.shown > 1) __builtin_trap();
  if ((Succeeded(status) || status == E_CANCELLED) && presenter.shown != 0) __builtin_trap();
  if (info.NewerAvailable()) {
    UpdateAvailableModel model;
    IgnoreStatus(model.Build(info, StringModule::BuiltIn(), DateLocale::UserDefault()));
  }
  return 0;
}
