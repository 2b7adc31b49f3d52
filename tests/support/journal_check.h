// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a movie must look like after any interruption has been settled: every
// write either wholly there or wholly absent, nothing else touched, and the
// journal telling exactly that.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "previews/record_format.h"
#include "replace/history.h"
#include "replace/journal_format.h"
#include "support/movie_builder.h"

namespace orvane::testing {

struct Settlement {
  std::string problem;        // empty when everything holds
  std::size_t bytesLost = 0;  // bytes of the movie its history does not explain
};

// `movie` after settling, `original` before any write, the offsets of the
// records written to, the row bytes any of them may hold besides their
// original ones, and the journal's records.
inline Settlement checkSettled(const Bytes& movie, const Bytes& original, const std::vector<std::size_t>& offsets,
                               const std::vector<Bytes>& pictures, const std::vector<journal::Record>& records) {
  Settlement result;
  const auto problem = [&](const std::string& what) {
    if (result.problem.empty()) result.problem = what;
  };
  if (movie.size() != original.size()) {
    problem("the movie's length changed");
    return result;
  }
  if (!unmarkedWrites(records).empty()) problem("the journal still holds an unmarked write");

  // What the history says the movie holds: each record as the last write
  // marked done left it, everything else as it was.
  Bytes expected = original;
  std::map<std::uint64_t, journal::Outcome> marks;
  for (const auto& r : records)
    if (const auto* m = std::get_if<journal::Mark>(&r)) marks[m->write] = m->outcome;
  for (const auto& r : records) {
    const auto* e = std::get_if<journal::WriteEntry>(&r);
    if (!e || !marks.count(e->seq) || marks[e->seq] != journal::Outcome::Done) continue;
    for (const auto& scene : e->scenes) put(expected, scene.offset, scene.after);
  }
  for (std::size_t i = 0; i < movie.size(); ++i) result.bytesLost += movie[i] != expected[i];
  if (result.bytesLost) problem(std::to_string(result.bytesLost) + " bytes differ from what the history says");

  for (const std::size_t at : offsets) {
    const Bytes rows(movie.begin() + static_cast<std::ptrdiff_t>(at),
                     movie.begin() + static_cast<std::ptrdiff_t>(at + record::kTrailerOffset));
    bool whole = std::equal(rows.begin(), rows.end(), original.begin() + static_cast<std::ptrdiff_t>(at));
    for (const Bytes& p : pictures) whole = whole || rows == p;
    if (!whole) problem("the record at " + std::to_string(at) + " is a mix");
  }
  return result;
}

}  // namespace orvane::testing
