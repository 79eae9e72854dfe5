// The root set of LeakSanitizer in the case runner's processes.
//
// A leak check scans every writable page of every loaded module for pointers
// into the heap. In a test binary these pages are tens of megabytes, nearly
// all of them the sanitizers' own data, and a freshly forked case process pays
// for the first touch of every page it reads: the check then costs several
// times the case itself. The runner therefore turns LeakSanitizer's own scan
// of module data off (use_globals=0) and hands it the same memory as root
// regions instead:
//
//  - registerAllModuleData() registers every writable segment whole, which is
//    what the standard scan reads. The parent process runs with this set, and
//    so does a binary run in one process.
//  - rememberPagesWithPointers() is called by the parent once before it forks
//    the case processes: it notes the pages that hold a word that may point
//    into the heap (any address outside the loaded modules' images).
//  - narrowToPagesThatMayPoint() is called by a case process before its leak
//    check: it keeps the noted pages and the pages the case process itself has
//    written since the fork (the kernel's page map tells these apart), and
//    registers only those.
//
// Every other page is unchanged since the fork and held no heap pointer then,
// so scanning it could not make a chunk reachable: the check finds exactly
// the leaks the standard scan finds. The sanitizer runtimes' own data is never
// a root (the standard scan skips their allocator's state for the same
// reason: it is bookkeeping, not the program's references).
#pragma once

namespace leak_roots {

void registerAllModuleData();
void rememberPagesWithPointers();
void narrowToPagesThatMayPoint();

}  // namespace leak_roots
