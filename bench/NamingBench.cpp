// Naming a photo and classifying a file name: generation runs for every photo of a Rename
// Remaining batch and for every keystroke of a preview; classification for every photo of the
// folder when it is listed.
#include <benchmark/benchmark.h>

#include "BenchCheck.h"
#include "foundation/StringTable.h"
#include "metadata/SamplePhoto.h"
#include "patterns/Classification.h"
#include "patterns/NameGenerator.h"
#include "patterns/PatternCatalogue.h"
#include "workflow/ExtensionListLookup.h"

namespace {

using namespace lumatag;

constexpr SystemTime kFileDate{2013, 3, 1, 4, 5, 6, 7, 0};

struct Naming {
  Naming() : lookup(extensions) {
    RequireSuccess(keywords.Build(StringModule::BuiltIn()));
    RequireSuccess(catalogue.BuildBuiltIns(context, &keywords));
    RequireSuccess(catalogue.BuildAutomaticList(context));
    RequireSuccess(extensions.SetDefaults(StringModule::BuiltIn()));
    RequireSuccess(DateLocale::FromName("en-US", &locale));
    environment.app = &context;
    environment.catalogue = &catalogue;
    environment.extensions = &lookup;
    environment.locale = &locale;
  }
  AppContext context;
  KeywordTable keywords;
  PatternCatalogue catalogue;
  ExtensionList extensions;
  ExtensionListLookup lookup;
  DateLocale locale;
  NamingEnvironment environment;
};

void BM_GenerateName(benchmark::State& state) {
  Naming naming;
  NamingPattern pattern(naming.context.heap, &naming.keywords);
  RequireSuccess(pattern.definition.Assign(u"[name] #[001]"));
  RequireSuccess(EnsureCompiled(naming.context, &pattern, true, nullptr, nullptr));
  PhotoFacts photo;
  RequireSuccess(BuildSamplePhoto(&photo, naming.context.heap, StringModule::BuiltIn(), kFileDate));
  CountedString base;
  RequireSuccess(base.Assign(u"Trip"));
  CountedString output;
  RequireSuccess(output.Reserve(64));
  std::uint32_t number = 0;
  for (auto _ : state) {
    if (Failed(
            GenerateName(naming.environment, &pattern, &photo, &base, false, ++number, &output))) {
      state.SkipWithError("generation failed");
    }
    benchmark::DoNotOptimize(output.CStr());
  }
}
BENCHMARK(BM_GenerateName);

// One file name against the sixteen built-in patterns and then the Automatic pattern.
void BM_ClassifyName(benchmark::State& state) {
  static const char16_t* const kNames[] = {u"IMG_1234.JPG", u"Summer Vacation 2013 #007.JPG",
                                           u"Trip (7).JPG"};
  Naming naming;
  PhotoFacts photo;
  RequireSuccess(BuildSamplePhoto(&photo, naming.context.heap, StringModule::BuiltIn(), kFileDate));
  RequireSuccess(photo.fileName.Assign(kNames[state.range(0)]));
  state.SetLabel(photo.fileName.ToUtf8());
  for (auto _ : state) {
    if (Failed(ClassifyName(naming.catalogue, &photo, &naming.lookup, &naming.locale))) {
      state.SkipWithError("classification failed");
    }
    benchmark::DoNotOptimize(photo.number);
  }
}
BENCHMARK(BM_ClassifyName)->DenseRange(0, 2);

}  // namespace
