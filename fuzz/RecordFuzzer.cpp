// Reads the input as a record file (.rek), decoded from Windows-1250 and parsed as readRecordFile
// does. Almost no mutated input would carry the checksum of its own moves and ride, so the parse
// would stop there every time: when the moves and the ride can be found, the first field is
// replaced by their checksum before parsing, as an honest writer would have stored it. The reader
// itself checks the checksum exactly as in the game.
#include "files/FieldReader.h"
#include "files/RecordChecksum.h"
#include "files/RecordFile.h"
#include "fuzz/FuzzSupport.h"
#include "shell/NumberFormat.h"
#include "shell/Windows1250.h"

namespace {

// The text with its checksum field made to fit, or unchanged when it has no moves and ride fields.
QString sealed(const QString& text)
{
    FieldReader fields(text);
    const auto checksum = fields.next();
    const auto holder = fields.next();
    const auto date = fields.next();
    const auto movesField = fields.next();
    const auto ride = fields.next();
    if (!checksum || !holder || !date || !movesField || !ride)
        return text;
    const std::optional<double> moves = parseDecimal(*movesField);
    if (!moves)
        return text;
    return QString::number(RecordChecksum(*moves, *ride)) + text.sliced(checksum->size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Reading stops at MaxRecordFileSize; the fuzzer's inputs stay far below it.
    const QString text = decodeWindows1250(inputBytes(data, size));
    const std::optional<RecordContent> record = parseRecordText(sealed(text));
    if (!record)
        return 0;

    FUZZ_CHECK(record->moves > 0);
    FUZZ_CHECK(record->ride.size() >= 2);
    FUZZ_CHECK(record->checksum == RecordChecksum(record->moves, record->rideText));
    // The ride grows with the text only: every position takes at least the two colons of "x:y:".
    FUZZ_CHECK(static_cast<qsizetype>(record->ride.size() - 1) * 2 <= record->rideText.size());
    return 0;
}
