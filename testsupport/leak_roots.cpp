#include "leak_roots.h"

#if defined(__SANITIZE_ADDRESS__)

#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>

#include <fcntl.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

// LeakSanitizer reads its defaults from this hook; LSAN_OPTIONS still wins.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_options() {
  return "use_globals=0";
}

namespace leak_roots {
namespace {

struct Range {
  uintptr_t begin;
  uintptr_t end;
};

struct Modules {
  std::vector<Range> data;    // writable segments, the roots
  std::vector<Range> images;  // whole images: a word pointing here is no heap pointer
};

bool isSanitizerRuntime(const char* path) {
  return std::strstr(path, "libasan.so") || std::strstr(path, "libubsan.so");
}

int collect(dl_phdr_info* info, size_t, void* out) {
  Modules& modules = *static_cast<Modules*>(out);
  uintptr_t low = UINTPTR_MAX, high = 0;
  const bool runtime = isSanitizerRuntime(info->dlpi_name);
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& ph = info->dlpi_phdr[i];
    if (ph.p_type != PT_LOAD || ph.p_memsz == 0) continue;
    uintptr_t begin = info->dlpi_addr + ph.p_vaddr;
    uintptr_t end = begin + ph.p_memsz;
    low = std::min(low, begin);
    high = std::max(high, end);
    if ((ph.p_flags & PF_W) && !runtime) modules.data.push_back({begin, end});
  }
  if (low < high) modules.images.push_back({low, high});
  return 0;
}

Modules loadedModules() {
  Modules modules;
  dl_iterate_phdr(collect, &modules);
  return modules;
}

uintptr_t pageSize() {
  static const uintptr_t size = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  return size;
}

// The mappings a heap chunk can lie in: anonymous mappings above the
// sanitizer's shadow memory (below it lie only the shadow and low memory),
// outside every module's image (a module's zero-filled tail is anonymous too).
// Sorted and disjoint.
std::vector<Range> heapCandidates(const std::vector<Range>& images) {
  size_t scale = 0, offset = 0;
  __asan_get_shadow_mapping(&scale, &offset);
  const uintptr_t shadowEnd = offset + ((uintptr_t{1} << 47) >> scale);
  std::vector<Range> found;
  FILE* maps = std::fopen("/proc/self/maps", "r");
  if (!maps) return {{shadowEnd, uintptr_t{1} << 47}};  // unknown: all of it
  char line[4096];
  while (std::fgets(line, sizeof line, maps)) {
    unsigned long begin = 0, end = 0;
    int pathAt = 0;
    if (std::sscanf(line, "%lx-%lx %*s %*s %*s %*s %n", &begin, &end, &pathAt) < 2) continue;
    const char* path = line + pathAt;
    const bool anonymous = *path == '\n' || *path == '\0' || std::strncmp(path, "[heap]", 6) == 0 ||
                           std::strncmp(path, "[stack", 6) == 0 ||
                           std::strncmp(path, "[anon", 5) == 0;
    if (!anonymous || end <= shadowEnd) continue;
    bool inImage = false;
    for (const Range& image : images) inImage |= begin < image.end && image.begin < end;
    if (!inImage) found.push_back({std::max<uintptr_t>(begin, shadowEnd), end});
  }
  std::fclose(maps);
  std::sort(found.begin(), found.end(),
            [](const Range& a, const Range& b) { return a.begin < b.begin; });
  return found;
}

bool inAny(uintptr_t word, const Range* ranges, size_t count) {
  size_t lo = 0, hi = count;  // the first range that begins after word is in [lo, hi]
  while (lo < hi) {
    const size_t mid = (lo + hi) / 2;
    if (ranges[mid].begin <= word)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo > 0 && word < ranges[lo - 1].end;
}

std::vector<Range> registered;           // the root regions now registered
std::vector<uintptr_t> pagesWithPointers;  // page addresses, sorted

void registerRoots(std::vector<Range> roots) {
  for (const Range& r : registered)
    __lsan_unregister_root_region(reinterpret_cast<void*>(r.begin), r.end - r.begin);
  for (const Range& r : roots)
    __lsan_register_root_region(reinterpret_cast<void*>(r.begin), r.end - r.begin);
  registered = std::move(roots);
}

// The page map's flags of each page of [begin, end): present (bit 63),
// swapped (bit 62), mapped by this process alone (bit 56).
std::vector<uint64_t> pageFlags(int pagemap, uintptr_t begin, uintptr_t end) {
  const uintptr_t first = begin / pageSize(), last = (end - 1) / pageSize();
  std::vector<uint64_t> flags(last - first + 1, 0);
  const size_t bytes = flags.size() * sizeof(uint64_t);
  if (pagemap < 0 ||
      pread(pagemap, flags.data(), bytes, static_cast<off_t>(first * sizeof(uint64_t))) !=
          static_cast<ssize_t>(bytes))
    std::fill(flags.begin(), flags.end(), uint64_t{1} << 56);  // unknown: keep every page
  return flags;
}

bool writtenHere(uint64_t flags) {
  const bool present = flags >> 63 & 1, swapped = flags >> 62 & 1, alone = flags >> 56 & 1;
  return swapped || (present && alone);
}

// Reads module data word by word, redzones between globals included.
__attribute__((no_sanitize_address)) std::vector<uintptr_t> scanForPointers(
    const Modules& modules) {
  const std::vector<Range> heap = heapCandidates(modules.images);
  if (heap.empty()) return {};
  const uintptr_t low = heap.front().begin, high = heap.back().end;
  std::vector<uintptr_t> pages;
  for (const Range& seg : modules.data) {
    const uintptr_t step = pageSize();
    for (uintptr_t page = seg.begin & ~(step - 1); page < seg.end; page += step) {
      const uintptr_t from = std::max(page, (seg.begin + 7) & ~uintptr_t{7});
      const uintptr_t to = std::min(page + step, seg.end);
      for (uintptr_t at = from; at + sizeof(uintptr_t) <= to; at += sizeof(uintptr_t)) {
        const uintptr_t word = *reinterpret_cast<const uintptr_t*>(at);
        if (word >= low && word < high && inAny(word, heap.data(), heap.size())) {
          pages.push_back(page);
          break;
        }
      }
    }
  }
  return pages;
}

// Copies the words of the ranges into out, redzones between globals included.
__attribute__((no_sanitize_address)) void copyWords(const std::vector<Range>& ranges,
                                                    uintptr_t* out) {
  for (const Range& r : ranges)
    for (uintptr_t at = r.begin; at < r.end; at += sizeof(uintptr_t))
      *out++ = *reinterpret_cast<const uintptr_t*>(at);
}

}  // namespace

void registerAllModuleData() { registerRoots(loadedModules().data); }

void rememberPagesWithPointers() {
  pagesWithPointers = scanForPointers(loadedModules());
  // The two lists themselves now hold heap pointers the scan may have missed.
  for (const void* own : {static_cast<const void*>(&pagesWithPointers),
                          static_cast<const void*>(&registered)})
    pagesWithPointers.push_back(reinterpret_cast<uintptr_t>(own) & ~(pageSize() - 1));
  std::sort(pagesWithPointers.begin(), pagesWithPointers.end());
}

void narrowToPagesThatMayPoint() {
  registerRoots({});  // first, since it writes a global of this file
  const Modules modules = loadedModules();
  const int pagemap = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
  std::vector<Range> kept;
  size_t words = 0;
  for (const Range& seg : modules.data) {
    const uintptr_t step = pageSize();
    const uintptr_t firstPage = seg.begin & ~(step - 1);
    const std::vector<uint64_t> flags = pageFlags(pagemap, seg.begin, seg.end);
    for (size_t i = 0; i < flags.size(); ++i) {
      const uintptr_t page = firstPage + i * step;
      if (!writtenHere(flags[i]) &&
          !std::binary_search(pagesWithPointers.begin(), pagesWithPointers.end(), page))
        continue;
      const uintptr_t begin = std::max(page, (seg.begin + 7) & ~uintptr_t{7});
      const uintptr_t end = std::min(page + step, seg.end) & ~uintptr_t{7};
      if (begin >= end) continue;
      kept.push_back({begin, end});
      words += (end - begin) / sizeof(uintptr_t);
    }
  }
  if (pagemap >= 0) close(pagemap);
  // The copy is a chunk the check treats as a root (an ignored chunk is
  // scanned, never reported). Nothing writes module data between the copy
  // and the check.
  uintptr_t* copy = new uintptr_t[words + 1];
  copyWords(kept, copy);
  __lsan_ignore_object(copy);
}

}  // namespace leak_roots

#else  // without AddressSanitizer there is no leak check to feed

namespace leak_roots {
void registerAllModuleData() {}
void rememberPagesWithPointers() {}
void narrowToPagesThatMayPoint() {}
}  // namespace leak_roots

#endif
