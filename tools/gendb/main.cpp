// gendb — writes generated reference data as Jet SQL on standard output.
//
//   gendb labels --printer FIRST-LAST --system FIRST-LAST [--revision N]
//   gendb large [--preset large|small] [--scale N] [--ingredients N]
//               [--recipes N] [--categories N] [--links N] [--seed N]
//   gendb messy [--depth N] [--import-depth N] [--flat N]
//
// "labels" writes the rows of [Langue_Printer] and [Langue_System];
// "large" writes the rows of a large V2.0 database, to be loaded after the
// V2.0 schema and its reference rows (data/v20). The "large" preset is
// 20,000 ingredients, 10,000 recipes, 2,000 categories and 100,000 links,
// plus 200 suppliers under category 52 with 1,000 sub-categories holding
// 20,000 ingredient links, for the flattening of the suppliers in V2.2,
// and 5,000 planned services with their production sheets.
// "messy" writes, to load after the sample, what years of use leave in a
// kitchen's V2.0 database (see gendb.h): "--depth" and "--import-depth" are
// the levels of the chains under supplier 53 and under the import
// category, "--flat" a number of categories at the top of the tree.
// "--scale N" multiplies every count given before it (the large preset's
// when none was), so that a benchmark can double the rows and nothing else:
// the shape of the trees stays.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "gendb.h"

namespace {

bool ParseInt(std::string_view text, int& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

bool ParseRange(std::string_view text, int& first, int& last) {
  const auto dash = text.find('-', 1);
  if (dash == std::string_view::npos) return false;
  return ParseInt(text.substr(0, dash), first) && ParseInt(text.substr(dash + 1), last);
}

int Usage() {
  std::cerr << "usage: gendb labels --printer FIRST-LAST --system FIRST-LAST [--revision N]\n"
               "       gendb large [--preset large|small] [--scale N] [--ingredients N] [--recipes N] "
               "[--categories N] [--links N] [--seed N]\n"
               "       gendb messy [--depth N] [--import-depth N] [--flat N]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  if (argc < 2) return Usage();
  const std::string_view mode = argv[1];
  if (mode == "labels") {
    gendb::LabelRanges ranges;
    for (int a = 2; a < argc; a += 2) {
      if (a + 1 >= argc) return Usage();
      const std::string_view opt = argv[a];
      const std::string_view val = argv[a + 1];
      bool ok = false;
      if (opt == "--printer")
        ok = ParseRange(val, ranges.printerFirst, ranges.printerLast);
      else if (opt == "--system")
        ok = ParseRange(val, ranges.systemFirst, ranges.systemLast);
      else if (opt == "--revision")
        ok = ParseInt(val, ranges.revision);
      if (!ok) return Usage();
    }
    gendb::WriteLabels(std::cout, ranges);
  } else if (mode == "large") {
    const gendb::LargeSizes largePreset{20000, 10000, 2000, 100000, gendb::LargeSizes{}.seed, 200, 1000, 20000, 5000};
    gendb::LargeSizes sizes;
    bool sized = false;
    for (int a = 2; a < argc; a += 2) {
      if (a + 1 >= argc) return Usage();
      const std::string_view opt = argv[a];
      const std::string_view val = argv[a + 1];
      bool ok = true;
      if (opt == "--preset") {
        const std::uint32_t seed = sizes.seed;
        if (val == "small")
          sizes = {200, 100, 50, 1000, seed};
        else if (val == "large")
          sizes = largePreset;
        else
          ok = false;
        sizes.seed = seed;
      } else if (opt == "--scale") {
        int scale = 0;
        ok = ParseInt(val, scale) && scale >= 1 && scale <= 64;
        if (ok && !sized) {
          const std::uint32_t seed = sizes.seed;
          sizes = largePreset;
          sizes.seed = seed;
        }
        if (ok) sizes = gendb::Scaled(sizes, scale);
      } else if (opt == "--ingredients")
        ok = ParseInt(val, sizes.ingredients);
      else if (opt == "--recipes")
        ok = ParseInt(val, sizes.recipes);
      else if (opt == "--categories")
        ok = ParseInt(val, sizes.categories);
      else if (opt == "--links")
        ok = ParseInt(val, sizes.links);
      else if (opt == "--seed") {
        int seed = 0;
        ok = ParseInt(val, seed);
        sizes.seed = static_cast<std::uint32_t>(seed);
      } else
        ok = false;
      if (opt != "--seed") sized = true;
      if (!ok || sizes.ingredients < 0 || sizes.recipes < 0 || sizes.categories < 0 || sizes.links < 0) return Usage();
    }
    gendb::WriteLarge(std::cout, sizes);
  } else if (mode == "messy") {
    gendb::MessySizes sizes;
    for (int a = 2; a < argc; a += 2) {
      if (a + 1 >= argc) return Usage();
      const std::string_view opt = argv[a];
      const std::string_view val = argv[a + 1];
      bool ok = false;
      if (opt == "--depth")
        ok = ParseInt(val, sizes.depth);
      else if (opt == "--import-depth")
        ok = ParseInt(val, sizes.importDepth);
      else if (opt == "--flat")
        ok = ParseInt(val, sizes.flat);
      if (!ok || sizes.depth < 1 || sizes.importDepth < 1 || sizes.flat < 0 || sizes.depth > 2000000 ||
          sizes.importDepth > 2000000 || sizes.flat > 2000000)
        return Usage();
    }
    gendb::WriteMessy(std::cout, sizes);
  } else {
    return Usage();
  }
  std::cout.flush();
  return std::cout ? 0 : 1;
}
