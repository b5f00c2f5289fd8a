#pragma once
// A study reads the input file of every mesh through the program's own
// units, each with a read-ahead buffer of 256 KiB. By default the C library
// gives such a block back to the system when it is freed, so that every
// input file costs 64 fresh pages, faulted in and zeroed: most of the time
// the study spends reading its runs. Kept in the heap, freed memory serves
// the next unit at once.
namespace kestrelfold::study {

// For the whole process; call once, before a study.
void reuse_freed_heap();

}  // namespace kestrelfold::study
