#include "output/list_directed.h"

#include <string>

namespace kestrelfold {

namespace {

constexpr std::size_t kRecordWidth = 80;

// One statement's records: each starts with one blank; texts are joined as
// they come.
class ListRecord {
public:
    explicit ListRecord(Unit& unit) : unit_(unit) { bytes_.reserve(kRecordWidth); }

    void put(std::string_view text) {
        if (!bytes_.empty() && text.size() > room()) next_record();
        if (bytes_.empty()) bytes_ += ' ';
        // Only a text longer than a whole record is split.
        while (text.size() > room()) {
            const std::size_t part = room();
            bytes_.append(text.substr(0, part));
            text.remove_prefix(part);
            next_record();
            bytes_ += ' ';
        }
        bytes_.append(text);
    }
    void end() { unit_.write_record(bytes_); }

private:
    std::size_t room() const { return kRecordWidth - bytes_.size(); }
    void next_record() {
        unit_.write_record(bytes_);
        bytes_.clear();
    }

    Unit& unit_;
    std::string bytes_;  // empty while the leading blank is still pending
};

}  // namespace

void write_list_directed(Unit& unit, std::initializer_list<std::string_view> texts) {
    ListRecord record(unit);
    for (const std::string_view text : texts) record.put(text);
    record.end();
}

}  // namespace kestrelfold
