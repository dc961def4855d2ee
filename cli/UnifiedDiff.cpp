#include "cli/UnifiedDiff.h"

#include <algorithm>
#include <vector>

namespace cli {

namespace {

std::vector<std::string> SplitKeepingEnds(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

enum class Edit { Keep, Remove, Add };

// The shortest edit script (Myers): the old lines kept or removed and the new
// ones added, in order. Past a bound on the edit distance (texts that have
// little in common) every old line is removed and every new one added.
std::vector<Edit> EditScript(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
  const int maxD = std::min(n + m, 4000);
  const int offset = maxD + 1;
  std::vector<int> v(2 * static_cast<size_t>(maxD) + 3, 0);
  std::vector<std::vector<int>> trace;
  int found = -1;
  for (int d = 0; d <= maxD && found < 0; ++d) {
    trace.push_back(v);
    for (int k = -d; k <= d; k += 2) {
      int x =
          (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1])) ? v[offset + k + 1] : v[offset + k - 1] + 1;
      int y = x - k;
      while (x < n && y < m && a[x] == b[y]) ++x, ++y;
      v[offset + k] = x;
      if (x >= n && y >= m) {
        found = d;
        break;
      }
    }
  }
  std::vector<Edit> script;
  if (found < 0) {
    script.assign(a.size(), Edit::Remove);
    script.insert(script.end(), b.size(), Edit::Add);
    return script;
  }
  int x = n, y = m;
  for (int d = found; d > 0; --d) {
    const std::vector<int>& before = trace[d];
    int k = x - y;
    int previousK = (k == -d || (k != d && before[offset + k - 1] < before[offset + k + 1])) ? k + 1 : k - 1;
    int previousX = before[offset + previousK], previousY = previousX - previousK;
    while (x > previousX && y > previousY) script.push_back(Edit::Keep), --x, --y;
    script.push_back(x == previousX ? Edit::Add : Edit::Remove);
    x = previousX;
    y = previousY;
  }
  while (x > 0 && y > 0) script.push_back(Edit::Keep), --x, --y;
  std::reverse(script.begin(), script.end());
  return script;
}

std::string Range(int start, int count) {
  // diff names an empty range by the line before it.
  if (count == 0) return std::to_string(start - 1) + ",0";
  return count == 1 ? std::to_string(start) : std::to_string(start) + "," + std::to_string(count);
}

void PutLine(std::string& out, char mark, const std::string& line) {
  out += mark;
  out += line;
  if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

}  // namespace

std::string UnifiedDiff(const std::string& before, const std::string& after, const std::string& oldName,
                        const std::string& newName) {
  if (before == after) return {};
  const std::vector<std::string> a = SplitKeepingEnds(before), b = SplitKeepingEnds(after);
  const std::vector<Edit> script = EditScript(a, b);
  constexpr int Context = 3;
  std::string out = "--- " + oldName + "\n+++ " + newName + "\n";
  // Hunks: runs of changes with up to 2 * Context kept lines between them.
  size_t i = 0;
  int oldLine = 0, newLine = 0;  // lines of each text before script[i]
  while (i < script.size()) {
    if (script[i] == Edit::Keep) {
      ++i, ++oldLine, ++newLine;
      continue;
    }
    size_t start = i;
    int lead = 0;
    while (start > 0 && lead < Context && script[start - 1] == Edit::Keep) --start, ++lead;
    size_t end = i;  // one past the hunk's last change
    for (size_t j = i; j < script.size();) {
      if (script[j] != Edit::Keep) {
        end = ++j;
        continue;
      }
      size_t keep = j;
      while (keep < script.size() && script[keep] == Edit::Keep) ++keep;
      if (keep == script.size() || keep - j > 2 * Context) break;
      j = keep;
    }
    size_t stop = end;
    for (int trail = 0; stop < script.size() && trail < Context && script[stop] == Edit::Keep; ++stop, ++trail) {}
    int oldStart = oldLine - lead, newStart = newLine - lead, oldCount = 0, newCount = 0;
    std::string body;
    int o = oldStart, nw = newStart;
    for (size_t j = start; j < stop; ++j) {
      if (script[j] == Edit::Keep) PutLine(body, ' ', a[o++]), nw++, ++oldCount, ++newCount;
      else if (script[j] == Edit::Remove) PutLine(body, '-', a[o++]), ++oldCount;
      else PutLine(body, '+', b[nw++]), ++newCount;
    }
    out += "@@ -" + Range(oldStart + 1, oldCount) + " +" + Range(newStart + 1, newCount) + " @@\n" + body;
    oldLine = o;
    newLine = nw;
    i = stop;
  }
  return out;
}

}  // namespace cli
