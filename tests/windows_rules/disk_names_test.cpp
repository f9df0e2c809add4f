#include "windows_rules/disk_names.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace quorvel {
namespace {

using Listings = std::map<std::string, std::vector<std::string>>;

// A resolver over the folders of `listings`, with `separator`, that counts the listings
// it is asked for.
DiskNameResolver Over(const Listings& listings, char separator, int* asked = nullptr) {
  return DiskNameResolver(
      [&listings, asked](const std::string& folder) -> std::optional<std::vector<std::string>> {
        if (asked != nullptr) ++*asked;
        const auto it = listings.find(folder);
        if (it == listings.end()) return std::nullopt;
        return it->second;
      },
      separator);
}

TEST(DiskNames, SplitAtEitherSeparatorWithoutEmptyParts) {
  EXPECT_EQ(SplitDiskName("\\MOVIE\\\\sub/heat.AVI"),
            (std::vector<std::string_view>{"MOVIE", "sub", "heat.AVI"}));
  EXPECT_TRUE(SplitDiskName("").empty());
  EXPECT_TRUE(SplitDiskName("\\/").empty());
}

TEST(DiskNames, ResolvedComponentByComponentWithEitherSeparator) {
  for (char sep : {'/', '\\'}) {
    const std::string root = sep == '/' ? "/cd" : "D:";
    auto at = [&](std::string relative) {
      for (char& c : relative) c = c == '|' ? sep : c;
      return root + sep + relative;
    };
    const Listings listings = {
        {root, {"CD2", "Movie", "Caf\xC3\xA9.avi", "film.avi", "FILM.AVI", "x.avi"}},
        {at("CD2"), {"Aliens.AVI"}},
        {at("Movie"), {"Sub"}},
        {at("Movie|Sub"), {"Heat.avi"}},
    };
    DiskNameResolver names = Over(listings, sep);
    EXPECT_EQ(names.Resolve(root, "cd2\\aliens.avi"), at("CD2|Aliens.AVI"));
    EXPECT_EQ(names.Resolve(root, "\\MOVIE\\\\sub/heat.AVI"), at("Movie|Sub|Heat.avi"));
    // The exact name first, else the first in listing order.
    EXPECT_EQ(names.Resolve(root, "FILM.AVI"), at("FILM.AVI"));
    EXPECT_EQ(names.Resolve(root, "Film.avi"), at("FILM.AVI"));
    // Windows-1252 bytes from the disk file find the UTF-8 name, in any ASCII case.
    EXPECT_EQ(names.Resolve(root, "CAF\xE9.AVI"), at("Caf\xC3\xA9.avi"));
    // From the first missing component on, the rest stays as written.
    EXPECT_EQ(names.Resolve(root, "cd2\\missing\\Film.avi"), at("CD2|missing|Film.avi"));
    EXPECT_EQ(names.Resolve(root, ""), root + sep);
    EXPECT_EQ(names.Resolve(root, "cover.jpg "), at("cover.jpg "));
    // A folder that cannot be listed matches nothing.
    EXPECT_EQ(names.Resolve(at("gone"), "A\\b.avi"), at("gone|A|b.avi"));
  }
}

TEST(DiskNames, NamesThatClimbAreJoinedNeverResolved) {
  const Listings listings = {{"/cd", {"Film.AVI"}}, {"/", {"cd", "x.avi"}}};
  DiskNameResolver names = Over(listings, '/');
  // They stay one name inside the folder, with their slashes made backslashes.
  EXPECT_EQ(names.Resolve("/cd", "..\\x.avi"), "/cd/..\\x.avi");
  EXPECT_EQ(names.Resolve("/cd", "../x.avi"), "/cd/..\\x.avi");
  EXPECT_EQ(names.Resolve("/cd", ".\\film.avi"), "/cd/.\\film.avi");
  EXPECT_EQ(names.Resolve("/cd", "FILM.avi"), "/cd/Film.AVI");
}

TEST(DiskNames, EachFolderIsListedOnceForManyNames) {
  const Listings listings = {{"/cd", {"A.AVI", "B.AVI", "films"}}, {"/cd/films", {"C.avi"}}};
  int asked = 0;
  DiskNameResolver names = Over(listings, '/', &asked);
  EXPECT_EQ(names.Resolve("/cd", "a.avi"), "/cd/A.AVI");
  EXPECT_EQ(names.Resolve("/cd", "b.avi"), "/cd/B.AVI");
  EXPECT_EQ(names.Resolve("/cd", "FILMS\\c.avi"), "/cd/films/C.avi");
  EXPECT_EQ(names.Resolve("/cd", "FILMS\\C.AVI"), "/cd/films/C.avi");
  EXPECT_EQ(asked, 2);
}

}  // namespace
}  // namespace quorvel
