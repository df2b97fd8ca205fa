#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "csv/CsvParse.h"

namespace tavisto {

// The line reader and writer over one table file; it lives for one open or one write-back.
// Reading goes through a buffer of blocks and cuts lines by the EndOfLine rule; writing emits each
// line followed by CR LF (through a buffer of kBlockSize bytes).
class TCsvStream {
public:
    // The first block read has kBlockSize bytes. While the file fills its blocks, each next one
    // is twice as large, up to kLargestBlockSize: a small file is read with a small buffer, a
    // large one with an eighth of the system calls.
    static constexpr std::size_t kBlockSize = 8192;
    static constexpr std::size_t kLargestBlockSize = 8 * kBlockSize;

    enum class Mode {
        Read,   // an existing file, read from its start
        Write,  // a file created anew; an existing file is emptied
    };

    // Opens the file; raises EInOutError when it cannot be opened.
    TCsvStream(std::string fileName, Mode mode);
    // Closes the file. Buffered lines not yet written by Close() are written without raising.
    ~TCsvStream();
    TCsvStream(const TCsvStream&) = delete;
    TCsvStream& operator=(const TCsvStream&) = delete;

    const std::string& FileName() const { return fileName_; }

    // The next line without its terminator; at the end of the file the empty text.
    // The view stays valid until the next ReadLine, ReadBlock, AtEnd or the end of the stream.
    // Raises ECsvDataSetError "Can't read CSV file <name>" when a read fails before the end.
    // Requires: Mode::Read.
    std::string_view ReadLine();

    // The bytes not yet handed out, a block at a time (what is left of the current block first);
    // empty at the end of the file. For readers that find line ends themselves. The view stays
    // valid as ReadLine's does. Raises as ReadLine. Requires: Mode::Read.
    std::string_view ReadBlock();

    // True when every byte of the file has been handed out. A terminator at the very end of the
    // file leaves no further line. May read the next block (see ReadLine for its error).
    // Requires: Mode::Read.
    bool AtEnd() { return bufferPos_ == bufferFill_ && NothingLeftToRead(); }

    // Writes the text's bytes followed by CR LF. Raises ECsvDataSetError
    // "Can't write CSV file <name>" when the file refuses the bytes. Requires: Mode::Write.
    void WriteLine(std::string_view text);

    // Writes every buffered byte out, has the system store the file on the disk, and closes it;
    // raises as WriteLine does. After Close the stream accepts no further operation.
    void Close();

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::string_view ReadLineByRule();
    bool NothingLeftToRead();
    void FillBuffer();
    void ConsumeLfInNextBlock(std::string_view& line);
    [[noreturn]] void RaiseWriteError() const;

    std::string fileName_;
    Mode mode_;
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t blockSize_ = kBlockSize;
    std::size_t bufferPos_ = 0;
    std::size_t bufferFill_ = 0;
    bool lastBlockRead_ = false;
    EndOfLine endOfLine_;
    std::string line_;
};

}  // namespace tavisto
