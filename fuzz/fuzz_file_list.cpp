// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON readers behind stored file lists and the blacklist: whatever they accept must
// survive being written and read again unchanged.
#include "capture/file_list.h"
#include "fuzz_check.h"
#include "storage/json_string_array.h"

#include <algorithm>

namespace {

// QUrl's own == can tell apart two spellings of one URL ("#" and "%23" in a fragment);
// what is stored and pasted is the encoded form.
QList<QByteArray> encoded(const QList<QUrl>& urls)
{
    QList<QByteArray> forms;
    for (const QUrl& url : urls)
        forms.append(url.toEncoded());
    return forms;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));

    if (const auto strings = nabrix::decodeJsonStringArray(json)) {
        const QByteArray written = nabrix::encodeJsonStringArray(*strings);
        const auto again = nabrix::decodeJsonStringArray(written);
        FUZZ_CHECK(again.has_value());
        // "\udc00" reads as a lone surrogate, which UTF-8 cannot carry: it is written as
        // U+FFFD, and from then on the text stays the same.
        if (std::all_of(strings->cbegin(), strings->cend(),
                        [](const QString& text) { return text.isValidUtf16(); }))
            FUZZ_CHECK(*again == *strings);
        FUZZ_CHECK(nabrix::encodeJsonStringArray(*again) == written);
    }

    if (const auto urls = nabrix::decodeFileList(json)) {
        for (const QUrl& url : *urls)
            FUZZ_CHECK(url.isValid() && !url.isEmpty());
        const auto again = nabrix::decodeFileList(nabrix::encodeFileList(*urls));
        FUZZ_CHECK(again.has_value());
        FUZZ_CHECK(encoded(*again) == encoded(*urls));
        (void)nabrix::fileListSearchString(*urls);
    }
    return 0;
}
