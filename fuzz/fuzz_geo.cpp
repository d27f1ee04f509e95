// Feeds coordinate texts to the position finder of every grid format: the
// first byte chooses the Address2 setting (0 to 14), the rest is the text,
// read as the second comment line and as the grid reference, and as a
// record holding both cut to the lengths a record keeps. A position found is
// a finite latitude and longitude on the earth; none found has its reason.

#include "FuzzSupport.h"

#include "LoggerRecord.h"
#include "PositionFinder.h"

#include <array>
#include <cmath>
#include <memory>

using Fuzz::require;

namespace {
std::array<std::unique_ptr<PositionFinder>, 15> finders;

void sound(const GeoPosition& p)
{
    if (p.valid) {
        require(std::isfinite(p.lat) && std::isfinite(p.lon));
        require(p.lat >= -90 && p.lat <= 90 && p.lon >= -180 && p.lon <= 180);
        require(p.source != PositionSource::None && p.reason.isEmpty());
    } else {
        require(!p.reason.isEmpty());
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::startApplication(argc, argv);
    for (int i = 0; i < 15; ++i)
        finders[size_t(i)] = std::make_unique<PositionFinder>(QString::number(i));
    // PROJ sets up each system once, reading its database, which can take
    // over a second under the sanitizers: that is done here, not charged to
    // the first input that reaches it.
    static const char* const kTexts[] = {"SE-2224-3381",         "N51.12345-W001.12345",
                                         "TQ-30624-78388",       "155000-463000",
                                         "6673000-3386000",      "4500000-5650000",
                                         "IN-12345-12345",       "S38-MB-44140-84706",
                                         "E1576041-N6188574",    "O0028002-N0038745",
                                         "700000-100000",        "200000-300000",
                                         "38-N-0444141-3684706", "V-1234"};
    for (const auto& finder : finders)
        for (const char* text : kTexts)
            (void)finder->fromComment2(text);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    PositionFinder& finder = *finders[data[0] % 15];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    sound(finder.fromComment2(text));
    const GeoPosition fromRef = finder.fromGridRef(text);
    sound(fromRef);
    if (fromRef.valid)
        require(fromRef.source == PositionSource::GridRef);

    LoggerRecord rec;
    rec.Comment2 = text.substr(0, 20);
    rec.GridRef = text.substr(0, 12);
    sound(finder.place(rec));
    return 0;
}
