// The JSON readers behind stored file lists and the blacklist: whatever they accept must
// survive being written and read again unchanged.
#include "capture/file_list.h"
#include "fuzz_check.h"
#include "storage/json_string_array.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));

    if (const auto strings = nabrix::decodeJsonStringArray(json)) {
        const QByteArray encoded = nabrix::encodeJsonStringArray(*strings);
        const auto again = nabrix::decodeJsonStringArray(encoded);
        FUZZ_CHECK(again.has_value());
        FUZZ_CHECK(*again == *strings);
        FUZZ_CHECK(nabrix::encodeJsonStringArray(*again) == encoded);
    }

    if (const auto urls = nabrix::decodeFileList(json)) {
        for (const QUrl& url : *urls)
            FUZZ_CHECK(url.isValid() && !url.isEmpty());
        const auto again = nabrix::decodeFileList(nabrix::encodeFileList(*urls));
        FUZZ_CHECK(again.has_value());
        FUZZ_CHECK(*again == *urls);
        (void)nabrix::fileListSearchString(*urls);
    }
    return 0;
}
