// The record declarations that programs see as the definition `_`.
//
// One data text declares the C library records and scalar types a program lays out in memory
// for the bridge: "[" records "]", each record "[" name segments "]", its segments in offset
// order. A segment is a field "[" name "[" width "]]" or an unnamed gap "[[" width "]]"; the
// widths of a record add up to its size, so a field's offset is the sum of the widths before it.
// The addrinfo layout is taken from the platform's own header; the dirent layout is the
// bridge's fixed 296-byte directory record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A record with no fields yet: "[" name "[[" size "]]]", one gap of its whole size.
std::string record_start(std::string_view name, int64_t size);
// Puts the field into the gap that holds it (assertion 3614 when it overruns that segment or
// lies past the record's end, 3615 when the segment is already a field).
void insert_field(std::string& record, std::string_view field, int64_t width, int64_t offset);
// The whole declaration text, records in the order addrinfo, dirent, fd_set, size_t,
// socklen_t, time_t.
std::string record_declarations();
