#include "output/units.h"

#include <cstring>
#include <stdexcept>

#include "driver/interruption.h"
#include "output/console.h"
#include "output/fatal_error.h"
#include "output/printed_title.h"

namespace kestrelfold {

namespace {

constexpr std::string_view kRecordEnd = "\r\n";

}  // namespace

Unit::Unit(int number, std::string file) : number_(number), file_(std::move(file)) {
    // Opened for reading and writing, created when missing and never
    // truncated by the open itself: an existing file is only cut when this
    // run writes its first record. A file the user may only read (an input
    // file kept read-only) is still opened, read-only; a write to it then
    // fails as any refused write does, for the reason the system gave at
    // the open.
    std::string reason;
    const OpenedFile opened = open_file(file_, reason);
    if (opened.handle == kNoFile) {
        throw FatalError(unit_message("open failure", number_, file_) + " (" + reason + ")");
    }
    file_handle_ = opened.handle;
    writable_ = opened.writable;
    read_only_because_ = opened.read_only_because;
    identity_ = opened.identity;
    out_.reserve(kBufferSize);
}

bool Unit::same_file_as(const Unit& other) const {
    return file_handle_ != kNoFile && other.file_handle_ != kNoFile && identity_ && identity_ == other.identity_;
}

Unit::~Unit() { close_quietly(); }

void Unit::fail(std::string_view what) const { throw FatalError(unit_message(what, number_, file_)); }

// The reason the system gave, as a refused open shows it: "error during
// write, unit 11, file Kestrelfold_T.dat: No space left on device".
void Unit::fail(std::string_view what, const std::string& reason) const {
    if (reason.empty()) fail(what);
    throw FatalError(unit_message(what, number_, file_) + ": " + reason);
}

void Unit::write_record(std::string_view bytes) {
    if (file_handle_ == kNoFile) throw std::logic_error(unit_message("write to a closed unit", number_, file_));
    // An interrupted run stops between records, but only once this unit has
    // written one: a file opened to be written then holds this run's
    // records, never an earlier run's.
    if (writing_) stop_if_interrupted();
    cut_file_here_once();
    const std::size_t size = bytes.size() + kRecordEnd.size();
    if (out_.size() + size > kBufferSize) flush();
    out_.append(bytes);
    out_.append(kRecordEnd);
    offset_ += static_cast<std::int64_t>(size);
    if (out_.size() >= kBufferSize) flush();
}

// The first write after the open or after reads: whatever the file holds from
// the current record on is gone, so the file ends with the last record
// written. The cut itself waits for the first block of records to go out
// (see cut_old_tail).
void Unit::cut_file_here_once() {
    if (writing_) return;
    // A file open for reading only refuses its first record at once.
    if (!writable_) fail("error during write", read_only_because_);
    if (!seek_file(file_handle_, offset_)) fail("error during write", file_failure_reason());
    cut_pending_ = true;
    in_.clear();
    in_pos_ = 0;
    writing_ = true;
    // A last record read without its line end (a file saved without a final
    // newline) is ended first, so that the new record does not run into it.
    if (unterminated_read_ != Unterminated::No) {
        const std::string_view ending = unterminated_read_ == Unterminated::AfterCr ? "\n" : kRecordEnd;
        out_.append(ending);
        offset_ += static_cast<std::int64_t>(ending.size());
        unterminated_read_ = Unterminated::No;
    }
}

// A full disk or a file-size limit takes what still fits, which may end in
// the middle of a record: a number without its last digits or its exponent
// would read as another value. The file is cut back to the end of the last
// whole record it holds; should the system refuse that too, the unit is
// failing already and what lies beyond stays.
void Unit::drop_torn_record(std::size_t written) {
    // The buffer starts at a record boundary, and every record ends in a line
    // feed that no record holds inside.
    const std::size_t last_end = std::string_view(out_.data(), written).rfind('\n');
    const std::size_t whole = last_end == std::string_view::npos ? 0 : last_end + 1;
    // Cut even when the refusal fell on a record boundary: bytes of the old
    // file may lie beyond it (see cut_old_tail).
    const std::int64_t buffer_start = offset_ - static_cast<std::int64_t>(out_.size());
    // A refusal here leaves the torn record; the write has failed already.
    static_cast<void>(cut_file(file_handle_, buffer_start + static_cast<std::int64_t>(whole)));
}

// Before the first block of records goes out, the old bytes beyond its end
// are cut away, so that from then on the file holds the new records and
// nothing else. Cutting there rather than where the new records start is
// the same for the file, but a file cut to length zero and written again
// counts as replaced on some file systems (ext4), which then force all its
// data out when it is closed: a tenth of a second for a 200 MB listing,
// while the old bytes under the new ones are simply overwritten. Until this
// first block, the old file is there whole.
void Unit::cut_old_tail() {
    cut_pending_ = false;
    const std::optional<std::int64_t> length = file_length(file_handle_);
    if (!length) fail("error during write", file_failure_reason());
    if (*length > offset_ && !cut_file(file_handle_, offset_)) fail("error during write", file_failure_reason());
}

void Unit::flush() {
    if (out_.empty()) return;
    if (cut_pending_) cut_old_tail();
    std::string refused_because;
    const std::size_t written = write_file(file_handle_, out_.data(), out_.size(), refused_because);
    const bool refused = written < out_.size();
    if (refused) drop_torn_record(written);
    // Bytes the system refused are not offered again at the close, which
    // would only repeat the failure or store the part after a gap.
    out_.clear();
    if (refused) fail("error during write", refused_because);
}

bool Unit::fill_read_buffer() {
    stop_if_interrupted();  // a long read (a huge input file) stops too
    in_.resize(kBufferSize);
    const std::optional<std::size_t> got = read_file(file_handle_, in_.data(), in_.size());
    if (!got) {
        const std::string refused_because = file_failure_reason();
        in_.clear();
        in_pos_ = 0;
        fail("error during read", refused_because);
    }
    in_.resize(*got);
    in_pos_ = 0;
    return *got > 0;
}

// One record from the read-ahead buffer into *out (or nowhere when out is
// null). Records may be longer than the buffer.
bool Unit::next_record(std::string* out) {
    if (file_handle_ == kNoFile) throw std::logic_error(unit_message("read from a closed unit", number_, file_));
    // After writing, the file ends with the last record written: nothing to read.
    flush();
    if (out) out->clear();
    bool found = false;
    bool last_was_cr = false;
    for (;;) {
        if (in_pos_ == in_.size() && !fill_read_buffer()) break;
        found = true;
        const char* begin = in_.data() + in_pos_;
        const std::size_t available = in_.size() - in_pos_;
        const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', available));
        const std::size_t length = lf ? static_cast<std::size_t>(lf - begin) : available;
        if (out) out->append(begin, length);
        if (length > 0) last_was_cr = begin[length - 1] == '\r';
        in_pos_ += length;
        offset_ += static_cast<std::int64_t>(length);
        if (lf) {
            ++in_pos_;
            ++offset_;
            if (out && last_was_cr) out->pop_back();
            unterminated_read_ = Unterminated::No;
            ++records_read_;
            return true;
        }
    }
    if (found) {
        unterminated_read_ = last_was_cr ? Unterminated::AfterCr : Unterminated::Yes;
        ++records_read_;
    }
    return found;
}

bool Unit::read_record(std::string& out) { return next_record(&out); }

void Unit::skip_record() {
    if (!next_record(nullptr)) fail("end-of-file during read");
}

void Unit::close() {
    if (file_handle_ == kNoFile) return;
    try {
        flush();
    } catch (...) {
        close_file(file_handle_);
        file_handle_ = kNoFile;
        throw;
    }
    const FileHandle file = file_handle_;
    file_handle_ = kNoFile;
    // A close may report a delayed write failure.
    if (!close_file(file)) fail("error during write", file_failure_reason());
}

bool Unit::close_quietly() noexcept {
    try {
        close();
        return true;
    } catch (...) {
        if (file_handle_ != kNoFile) close_file(file_handle_);
        file_handle_ = kNoFile;
        return false;
    }
}

void Unit::warn_conversion_error() const { tell_user(unit_message("output conversion error", number_, file_)); }

Unit& Units::open(int number, std::string_view name) {
    close(number);
    auto unit = std::make_unique<Unit>(number, std::string(adjusted_trimmed(name)));
    for (const auto& [other_number, other] : open_) {
        if (unit->same_file_as(*other)) {
            const std::string file = unit->file();
            unit->close_quietly();
            throw FatalError(unit_message("open failure", number, file) + " (already open on unit " +
                             std::to_string(other_number) + ")");
        }
    }
    Unit& opened = *unit;
    open_[number] = std::move(unit);
    return opened;
}

Unit& Units::get(int number) {
    const auto found = open_.find(number);
    if (found == open_.end()) throw std::logic_error("unit " + std::to_string(number) + " is not open");
    return *found->second;
}

bool Units::is_open(int number) const { return open_.contains(number); }

void Units::close(int number) {
    auto node = open_.extract(number);
    if (!node.empty()) node.mapped()->close();
}

void Units::flush_all() {
    for (auto& [number, unit] : open_) unit->flush();
}

void Units::close_all() {
    // Every unit is closed even when one reports a refused write; the first
    // failure is the one reported.
    std::exception_ptr first_failure;
    while (!open_.empty()) {
        auto node = open_.extract(open_.begin());
        try {
            node.mapped()->close();
        } catch (...) {
            if (!first_failure) first_failure = std::current_exception();
        }
    }
    if (first_failure) std::rethrow_exception(first_failure);
}

void Units::close_all_quietly() noexcept {
    for (auto& [number, unit] : open_) unit->close_quietly();
    open_.clear();
}

}  // namespace kestrelfold
