// The version-1.0 import's SQL file (database/Import): the line reader over
// its buffer (CzytajLinieImportu), each line's check (RozpoznajLinieImportu:
// NUL bytes, Windows-1250 to UTF-8, quotes, dollar quotes, comments and the
// statements it skips), and what would go to the server (TekstSql, then the
// command's :name parameters). Input: a byte choosing the buffer (bit 7
// clear: 2 + the low 7 bits bytes, so lines overflow and the buffer refills;
// set: 64 KiB), then the file's bytes.
#include <stdio.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "database/Database.h"
#include "database/Import.h"
#include "platform/db/Parameters.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

struct File {
    explicit File(std::span<const std::uint8_t> bytes)
        : handle(fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb")) {}
    ~File() {
        if (handle)
            fclose(handle);
    }
    FILE* handle;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::size_t bufferSize = (data[0] & 0x80) ? 64 * 1024 : 2 + (data[0] & 0x7F);
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    const std::string_view file = fuzz::text(bytes);
    // Not cleared, as the import's is not.
    const std::unique_ptr<char[]> storage(new char[bufferSize]);
    const std::span<char> buffer(storage.get(), bufferSize);

    // The reader hands out exactly the file's lines, in order, until one does
    // not fit the buffer with a byte to spare.
    {
        std::vector<std::string_view> expected;
        bool fits = true;
        for (std::size_t at = 0; at < file.size();) {
            const std::size_t lf = file.find('\n', at);
            const std::size_t end = lf == std::string_view::npos ? file.size() : lf;
            if (end - at >= bufferSize) {
                fits = false;
                break;
            }
            expected.push_back(file.substr(at, end - at));
            at = lf == std::string_view::npos ? file.size() : lf + 1;
        }
        File f(bytes);
        if (!f.handle)
            return 0;
        std::vector<std::string> lines;
        const bool read = CzytajLinieImportu(f.handle, buffer, [&](std::string_view line) {
            lines.emplace_back(line);
            return true;
        });
        fuzz::check(read == fits);
        fuzz::check(lines.size() == expected.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            fuzz::check(lines[i] == expected[i]);
    }

    // The import's own pass: it stops at the first line it refuses.
    File f(bytes);
    if (!f.handle)
        return 0;
    CzytajLinieImportu(f.handle, buffer, [](std::string_view line) {
        const LiniaImportu linia = RozpoznajLinieImportu(line);
        fuzz::check(line.find('\0') == std::string_view::npos || linia.rodzaj == LiniaImportu::Rodzaj::Odrzuc);
        if (linia.rodzaj != LiniaImportu::Rodzaj::Wykonaj)
            return linia.rodzaj == LiniaImportu::Rodzaj::Pomin;
        platform::db::Parameters parameters;
        parameters.setSql(TekstSql(linia.tekst, true));
        try {
            (void)parameters.texts();
        } catch (const std::invalid_argument&) {
            // A :name nobody assigns: the command refuses the line.
            return false;
        }
        return true;
    });
    return 0;
}
