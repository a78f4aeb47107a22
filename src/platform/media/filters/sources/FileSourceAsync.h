#pragma once

#include <string>

#include "platform/media/BaseFilter.h"
#include "platform/media/FilterRegistry.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/io/UniqueFd.h"

namespace tessival::media {

// "File Source (Async.)": gives a file to the parser behind it. Its output pin "Output" offers
// the file as a byte stream (subtype from the content) and lets the parser read it at random
// (IAsyncReader), from the parser's streaming thread.
class FileSourceAsync : public BaseFilter, public IFileSourceFilter {
public:
    FileSourceAsync();
    static FilterEntry Entry();

    HRESULT Load(const std::string& path, const MediaType* type) override;
    HRESULT GetCurFile(std::string& path, MediaType* type) const override;
    HRESULT GetMediaTypes(const BasePin& pin, std::vector<MediaType>& types) const override;
    HRESULT CheckOutputType(const BasePin& pin, const MediaType& type) const override;

private:
    class ReaderPin;

    ReaderPin& output_;
    std::string path_;
    MediaType type_;
};

}  // namespace tessival::media
