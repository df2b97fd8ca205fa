#include "csv/CsvStream.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include "csv/CsvErrors.h"
#include "csv/CsvScan.h"
#include "platform/FileSystem.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tavisto {

namespace {

std::FILE* OpenFile(const std::string& fileName, TCsvStream::Mode mode) {
    std::FILE* file = std::fopen(fileName.c_str(), mode == TCsvStream::Mode::Read ? "rb" : "wb");
    if (file == nullptr) {
        const std::string reason = std::generic_category().message(errno);
        throw EInOutError("Cannot open file \"" + fileName + "\". " + reason);
    }
    return file;
}

// A file that replaces another must be on the disk before it does.
bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

}  // namespace

TCsvStream::TCsvStream(std::string fileName, Mode mode)
    : fileName_(std::move(fileName)), mode_(mode), file_(OpenFile(fileName_, mode)) {
    if (mode_ == Mode::Read) {
        // The reader keeps its own block buffer; a second one in the C library would only copy.
        std::setvbuf(file_.get(), nullptr, _IONBF, 0);
        buffer_ = std::make_unique<char[]>(kBlockSize);
    } else {
        std::setvbuf(file_.get(), nullptr, _IOFBF, kBlockSize);
    }
}

TCsvStream::~TCsvStream() = default;

std::string_view TCsvStream::ReadLine() {
    TAVISTO_ASSERT(file_ && mode_ == Mode::Read, "CsvData", "TCsvStream.ReadLine - not a reader");
    // Nearly every line lies wholly in the buffer and holds no quote: it ends at the first CR or
    // LF, and is handed out in place. Anything else (a quote, the end of the buffer, a CR that is
    // its last byte) goes the general way, which starts over at the same place.
    const char* start = buffer_.get() + bufferPos_;
    const char* end = buffer_.get() + bufferFill_;
    const char* terminator = csvscan::FindFirstOf(start, end, '"', '\r', '\n');
    if (end - terminator > 1 && *terminator != '"') {
        const bool crLf = terminator[0] == '\r' && terminator[1] == '\n';
        bufferPos_ = static_cast<std::size_t>(terminator - buffer_.get()) + (crLf ? 2 : 1);
        return {start, static_cast<std::size_t>(terminator - start)};
    }
    return ReadLineByRule();
}

std::string_view TCsvStream::ReadLineByRule() {
    endOfLine_.Reset();
    line_.clear();
    for (;;) {
        if (bufferPos_ == bufferFill_) {
            FillBuffer();
            if (bufferFill_ == 0) return line_;
        }
        const char* start = buffer_.get() + bufferPos_;
        const std::size_t available = bufferFill_ - bufferPos_;
        const std::size_t length = endOfLine_.FindTerminator({start, available});
        if (length == available) {
            line_.append(start, length);
            bufferPos_ = bufferFill_;
            continue;
        }
        // A line that lies wholly in the block is handed out in place, without a copy.
        std::string_view line(start, length);
        if (!line_.empty()) {
            line_.append(start, length);
            line = line_;
        }
        const char terminator = start[length];
        bufferPos_ += length + 1;
        if (terminator == '\r') {
            if (bufferPos_ == bufferFill_) {
                ConsumeLfInNextBlock(line);
            } else if (buffer_[bufferPos_] == '\n') {
                ++bufferPos_;
            }
        }
        return line;
    }
}

void TCsvStream::ConsumeLfInNextBlock(std::string_view& line) {
    // Reading the next block overwrites the line's bytes in the buffer.
    if (line.data() != line_.data()) {
        line_.assign(line);
        line = line_;
    }
    FillBuffer();
    if (bufferFill_ != 0 && buffer_[0] == '\n') bufferPos_ = 1;
}

std::string_view TCsvStream::ReadBlock() {
    TAVISTO_ASSERT(file_ && mode_ == Mode::Read, "CsvData", "TCsvStream.ReadBlock - not a reader");
    if (bufferPos_ == bufferFill_) {
        if (lastBlockRead_) return {};
        FillBuffer();
    }
    const std::string_view block(buffer_.get() + bufferPos_, bufferFill_ - bufferPos_);
    bufferPos_ = bufferFill_;
    return block;
}

bool TCsvStream::NothingLeftToRead() {
    if (!file_ || mode_ != Mode::Read) return false;
    if (!lastBlockRead_) FillBuffer();
    return lastBlockRead_ && bufferPos_ == bufferFill_;
}

void TCsvStream::FillBuffer() {
    // Every byte of the buffer has been handed out, so a larger one can take its place.
    if (bufferFill_ == blockSize_ && blockSize_ < kLargestBlockSize) {
        blockSize_ *= 2;
        buffer_ = std::make_unique_for_overwrite<char[]>(blockSize_);
    }
    bufferPos_ = 0;
    bufferFill_ = std::fread(buffer_.get(), 1, blockSize_, file_.get());
    // A failed read is never taken for the end of the file, even after a partial block.
    if (std::ferror(file_.get())) {
        bufferFill_ = 0;
        throw ECsvDataSetError("Can't read CSV file " + fileName_);
    }
    if (bufferFill_ < blockSize_) lastBlockRead_ = true;
}

void TCsvStream::WriteLine(std::string_view text) {
    TAVISTO_ASSERT(file_ && mode_ == Mode::Write, "CsvData", "TCsvStream.WriteLine - not a writer");
    static constexpr char kLineEnd[] = {'\r', '\n'};
    if (std::fwrite(text.data(), 1, text.size(), file_.get()) != text.size() ||
        std::fwrite(kLineEnd, 1, sizeof kLineEnd, file_.get()) != sizeof kLineEnd) {
        RaiseWriteError();
    }
}

void TCsvStream::Close() {
    if (!file_) return;
    const bool written =
        mode_ != Mode::Write || (std::fflush(file_.get()) == 0 && SyncToDisk(file_.get()));
    const bool closed = std::fclose(file_.release()) == 0;
    if (mode_ == Mode::Write && !(written && closed)) RaiseWriteError();
}

void TCsvStream::RaiseWriteError() const {
    throw ECsvDataSetError("Can't write CSV file " + fileName_);
}

}  // namespace tavisto
