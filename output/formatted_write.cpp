#include "output/formatted_write.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "output/fatal_error.h"
#include "output/field_editors.h"

namespace kestrelfold {

namespace {

constexpr std::int32_t kMaxComputedWidth = 32767;

// The record being assembled: columns count from 0 here. A move by nX or Tc
// only sets the column; the record grows (with blanks over skipped columns)
// when a field or literal is written, so its length is always the highest
// column written. The system's records fit the bytes kept inside the builder,
// so a write statement allocates nothing; a longer record moves to the heap.
class RecordBuilder {
public:
    explicit RecordBuilder(Unit& unit) : unit_(unit) {}
    RecordBuilder(const RecordBuilder&) = delete;
    RecordBuilder& operator=(const RecordBuilder&) = delete;

    // The next w columns, to be filled whole by a field editor (or a
    // literal); only the columns skipped before them are blanked here. A
    // field of width 0 writes nothing, so it does not lengthen the record.
    char* field(int w) {
        const std::size_t end = column_ + static_cast<std::size_t>(w);
        if (end > capacity_) grow(end);
        if (w > 0) {
            if (size_ < column_) std::memset(data_ + size_, ' ', column_ - size_);
            size_ = std::max(size_, end);
        }
        char* start = data_ + column_;
        column_ = end;
        return start;
    }
    void put(std::string_view text) {
        char* start = field(static_cast<int>(text.size()));
        if (!text.empty()) std::memcpy(start, text.data(), text.size());
    }
    void skip(int count) { column_ += static_cast<std::size_t>(count); }
    void tab(int column) { column_ = static_cast<std::size_t>(column - 1); }
    void end_record() {
        unit_.write_record(std::string_view(data_, size_));
        size_ = 0;
        column_ = 0;
    }

private:
    void grow(std::size_t end) {
        std::string larger(std::max(end, 2 * capacity_), ' ');
        std::memcpy(larger.data(), data_, size_);
        heap_ = std::move(larger);
        data_ = heap_.data();
        capacity_ = heap_.size();
    }

    Unit& unit_;
    char inline_[512];
    std::string heap_;
    char* data_ = inline_;
    std::size_t capacity_ = sizeof inline_;
    std::size_t size_ = 0;
    std::size_t column_ = 0;
};

bool takes_item(Edit::Kind kind) {
    switch (kind) {
        case Edit::Kind::A:
        case Edit::Kind::AStar:
        case Edit::Kind::I:
        case Edit::Kind::F:
        case Edit::Kind::E:
            return true;
        default:
            return false;
    }
}

const char* descriptor_name(Edit::Kind kind) {
    switch (kind) {
        case Edit::Kind::A: return "A";
        case Edit::Kind::AStar: return "A*";
        case Edit::Kind::I: return "I";
        case Edit::Kind::F: return "F";
        default: return "E";
    }
}

// Items and descriptors are paired by the program's own code, so a mismatch
// is a programming error, not a condition of the run.
template <typename T>
const T& expect(const Item& item, const Edit& edit) {
    const T* value = std::get_if<T>(&item);
    if (!value) throw std::logic_error(std::string("item of the wrong kind for an ") + descriptor_name(edit.kind) +
                                       " descriptor");
    return *value;
}

// Renders one item; false when a numeric field overflowed.
bool edit_item(RecordBuilder& record, const Edit& edit, const Item& item, int scale, const Unit& unit) {
    switch (edit.kind) {
        case Edit::Kind::I: {
            const std::int32_t value = expect<std::int32_t>(item, edit);
            return edit_integer(value, edit.w, record.field(edit.w));
        }
        case Edit::Kind::F: {
            const double value = expect<double>(item, edit);
            // The system applies a scale factor only to E fields.
            if (scale != 0) throw std::logic_error("scale factor in force at an F descriptor");
            return edit_fixed(value, edit.w, edit.d, record.field(edit.w));
        }
        case Edit::Kind::E: {
            if (const Quad* quad = std::get_if<Quad>(&item)) {
                return edit_scientific(*quad, edit.w, edit.d, scale, record.field(edit.w));
            }
            const double value = expect<double>(item, edit);
            return edit_scientific(value, edit.w, edit.d, scale, record.field(edit.w));
        }
        case Edit::Kind::A: {
            const std::string_view text = expect<std::string_view>(item, edit);
            edit_text(text, edit.w, record.field(edit.w));
            return true;
        }
        case Edit::Kind::AStar: {
            const SizedText& sized = expect<SizedText>(item, edit);
            if (sized.width < 0 || sized.width > kMaxComputedWidth) {
                throw FatalError(unit_message("variable format expression value error", unit.number(), unit.file()));
            }
            edit_text(sized.text, sized.width, record.field(sized.width));
            return true;
        }
        default:
            throw std::logic_error("not a data descriptor");
    }
}

bool has_data_descriptor(const std::vector<Edit>& edits) {
    for (const Edit& edit : edits) {
        if (takes_item(edit.kind)) return true;
    }
    return false;
}

}  // namespace

void write_formatted(Unit& unit, const Layout& layout, std::initializer_list<Item> items) {
    const std::vector<Edit>& edits = layout.edits();
    RecordBuilder record(unit);
    int scale = 0;
    bool overflowed = false;
    auto next_item = items.begin();
    std::size_t position = 0;
    for (;;) {
        if (position == edits.size()) {
            if (next_item == items.end()) break;
            // Items remain: a new record, and the layout once more from its start.
            if (!has_data_descriptor(edits)) throw std::logic_error("items left for a layout that takes none");
            record.end_record();
            position = 0;
            continue;
        }
        const Edit& edit = edits[position];
        // After the last item the descriptors run on up to the next one that
        // would take an item: a trailing literal or / is still honoured.
        if (takes_item(edit.kind) && next_item == items.end()) break;
        ++position;
        switch (edit.kind) {
            case Edit::Kind::Slash: record.end_record(); break;
            case Edit::Kind::Literal: record.put(edit.text); break;
            case Edit::Kind::X: record.skip(edit.w); break;
            case Edit::Kind::T: record.tab(edit.w); break;
            case Edit::Kind::Scale: scale = edit.w; break;
            default:
                if (!edit_item(record, edit, *next_item++, scale, unit)) overflowed = true;
        }
    }
    record.end_record();
    if (overflowed) unit.warn_conversion_error();
}

}  // namespace kestrelfold
