#include "apps/common/PrintableOutput.h"

#include <iostream>
#include <string>

namespace brevanto::apps {

namespace {

// Escapes byte by byte into `emit`, decoding UTF-8 across calls.
class Escaper {
public:
    template <class Emit>
    void put(unsigned char b, Emit&& emit) {
        if (need_ > 0) {
            if ((b & 0xC0) == 0x80) {
                pending_ += static_cast<char>(b);
                if (--need_ == 0) {
                    // U+0080..U+009F are the C1 controls (0x9B opens a sequence like ESC [).
                    const bool c1 = pending_.size() == 2 && static_cast<unsigned char>(pending_[0]) == 0xC2 &&
                                    static_cast<unsigned char>(pending_[1]) < 0xA0;
                    if (c1)
                        escapePending(emit);
                    else
                        for (char c : pending_) emit(c);
                    pending_.clear();
                }
                return;
            }
            escapePending(emit);   // a sequence cut short: its bytes are not text
        }
        if (b < 0x80) {
            if ((b < 0x20 && b != '\n' && b != '\t') || b == 0x7F)
                escape(b, emit);
            else
                emit(static_cast<char>(b));
        } else if (b >= 0xC2 && b <= 0xF4) {
            pending_.assign(1, static_cast<char>(b));
            need_ = b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        } else {
            escape(b, emit);
        }
    }
    template <class Emit>
    void finish(Emit&& emit) {
        if (need_ > 0) escapePending(emit);
    }

private:
    template <class Emit>
    static void escape(unsigned char b, Emit&& emit) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        for (char c : {'\\', 'x', kHex[b >> 4], kHex[b & 0xF]}) emit(c);
    }
    template <class Emit>
    void escapePending(Emit&& emit) {
        for (char c : pending_) escape(static_cast<unsigned char>(c), emit);
        pending_.clear();
        need_ = 0;
    }

    std::string pending_;
    int need_ = 0;
};

class PrintableBuf : public std::streambuf {
public:
    explicit PrintableBuf(std::streambuf* target) : target_(target) {}
    ~PrintableBuf() override {
        escaper_.finish([this](char c) { target_->sputc(c); });
        target_->pubsync();
    }

protected:
    int_type overflow(int_type ch) override {
        if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
        escaper_.put(static_cast<unsigned char>(ch), [this](char c) { target_->sputc(c); });
        return ch;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        for (std::streamsize i = 0; i < n; ++i)
            escaper_.put(static_cast<unsigned char>(s[i]), [this](char c) { target_->sputc(c); });
        return n;
    }
    int sync() override { return target_->pubsync(); }

private:
    std::streambuf* target_;
    Escaper escaper_;
};

}  // namespace

PrintableOutput::PrintableOutput()
    : out_(std::make_unique<PrintableBuf>(std::cout.rdbuf())),
      err_(std::make_unique<PrintableBuf>(std::cerr.rdbuf())),
      oldOut_(std::cout.rdbuf(out_.get())),
      oldErr_(std::cerr.rdbuf(err_.get())) {}

PrintableOutput::~PrintableOutput() {
    std::cout.flush();
    std::cerr.flush();
    std::cout.rdbuf(oldOut_);
    std::cerr.rdbuf(oldErr_);
}

}  // namespace brevanto::apps
