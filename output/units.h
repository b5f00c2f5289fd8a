#pragma once
// Units: the numbered text streams of a run (7 input file, 10 listing,
// 11 plot data file and plot scripts, 77 extrapolation data file).
//
// An open never truncates: it creates a missing file and starts at the first
// record. The first record written after the open, or after some records
// were read, cuts the file at that point, so the file ends with the last
// record written. Records end with CR LF; their bytes pass through unchanged.
// Completed records are buffered (a bounded buffer per unit) and reach the
// file at the latest when the unit is flushed or closed.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/system_file.h"

namespace kestrelfold {

class Unit {
public:
    // Opens (creating if missing); a file that may only be read is opened
    // read-only. FatalError "open failure, unit N, file F (reason)" on failure.
    Unit(int number, std::string file);
    ~Unit();                             // closes without reporting; use close() to report
    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;

    int number() const { return number_; }
    // Whether both units are connected to one file (the same file under any
    // name): two units writing one file would overwrite each other's records.
    bool same_file_as(const Unit& other) const;
    const std::string& file() const { return file_; }

    // Appends one record (CR LF added). FatalError "error during write, unit
    // N, file F: <the system's reason>" when the system refuses the bytes (possibly only at a later flush); the file
    // then keeps every whole record the system took, and nothing of a record
    // it took only in part.
    void write_record(std::string_view bytes);

    // Next record without its LF and a CR right before the LF; a last line
    // without LF is a record too. False at the end of the file; FatalError
    // "error during read" when the system refuses. After writes, the file
    // ends with the last record written, so nothing is left to read.
    bool read_record(std::string& out);

    // The read without variables: passes over exactly one record.
    // FatalError "end-of-file during read" at the end of the file.
    void skip_record();

    // Records read or passed over since the open: the line number of the
    // last one, for messages that say where in the file a value stands.
    std::int64_t records_read() const { return records_read_; }

    // Completed records to the file now (FatalError on a refused write).
    void flush();
    // Flush and close; FatalError on a refused write. Idempotent.
    void close();
    // Best effort on the way out of a failed run: flush and close, and
    // return false instead of throwing when the system refuses.
    bool close_quietly() noexcept;

    // Warning after a statement that overflowed a field; the run goes on.
    void warn_conversion_error() const;

private:
    // Bytes gathered before a write() and read ahead per read(): the file is
    // never held in memory whole. Writes of this size cost the system
    // markedly less per byte than 64 KiB ones (a table of 10^6 rows is some
    // hundred megabytes), while the buffer still stays in the processor's cache.
    static constexpr std::size_t kBufferSize = 256 * 1024;

    bool fill_read_buffer();  // false at the end of the file
    bool next_record(std::string* out);
    void cut_file_here_once();
    void cut_old_tail();
    void drop_torn_record(std::size_t written);
    [[noreturn]] void fail(std::string_view what) const;
    [[noreturn]] void fail(std::string_view what, const std::string& reason) const;

    int number_;
    std::string file_;
    FileHandle file_handle_ = kNoFile;
    bool writable_ = false;
    std::string read_only_because_;  // the system's reason, when it refused the open for writing
    // Which file it is while it is open, whatever its name.
    std::optional<std::pair<std::uint64_t, std::uint64_t>> identity_;
    std::int64_t offset_ = 0;   // byte position of the next record to read or write
    std::int64_t records_read_ = 0;
    bool writing_ = false;      // true once writing has started (records are no longer read)
    bool cut_pending_ = false;  // the old bytes beyond the new records are still to be cut
    // Whether the last record read ended at the end of the file without LF
    // (and whether its last byte was a CR).
    enum class Unterminated { No, Yes, AfterCr };
    Unterminated unterminated_read_ = Unterminated::No;
    std::string out_;           // completed records not yet written
    std::string in_;            // bytes read ahead
    std::size_t in_pos_ = 0;
};

// The open units of a run, by number.
class Units {
public:
    // The name with its leading and trailing blanks ignored. A number that is
    // already open is closed first (reporting a refused write), then reopened.
    Unit& open(int number, std::string_view name);
    Unit& get(int number);                          // std::logic_error when not open
    bool is_open(int number) const;
    void close(int number);                         // reports a refused write; no-op when not open
    // Every open unit writes out its completed records (FatalError on a
    // refused write): before an external command, so that what is on disk
    // while the command runs is this run's, whole records only.
    void flush_all();
    // Closes every unit still open: at the end of a run, or after a fatal
    // failure (then quietly, so that the first message stays the one shown).
    void close_all();
    void close_all_quietly() noexcept;

private:
    std::map<int, std::unique_ptr<Unit>> open_;
};

}  // namespace kestrelfold
