#pragma once
// Reading the structure record that TvxTableDesc::WriteStructure writes (table-list record,
// fields, then the descriptor record). The program itself never reads it back; tools that
// print maintenance scripts do. Throws the reader's errors; a count above 256 (or negative) is
// refused with EReadError and the descriptor is left unchanged, as by ReadDescriptors.

namespace morvane {

class TReader;
class TvxTableDesc;

void ReadStructureRecord(TReader& reader, TvxTableDesc& desc);

} // namespace morvane
