#include "page_writer.h"

#include "core/common.h"
#include "core/utf8.h"
#include "core/windows1252.h"

namespace rewrite {
namespace {

// Pieces shorter than this are gathered before they are written.
constexpr std::size_t BufferBytes = 64 * 1024;

}  // namespace

PageWriter::PageWriter(std::string_view page, const PageReading& reading, std::size_t declarationPlace,
                       const Frames* frames, common::PseudoRandom& random,
                       const std::function<bool(std::string_view)>& write)
    : page_(page),
      encoding_(reading.encoding),
      undecided_(reading.firstNonUtf8.has_value()),
      firstNonUtf8_(reading.firstNonUtf8.value_or(0)),
      declarationPlace_(declarationPlace),
      frames_(frames),
      random_(random),
      write_(write) {}

// An undeclared page read as Windows-1252 for bytes that all stood in
// addresses would, once they are blocks, be read as UTF-8 by the next run and
// by a browser that guesses, and its other letters would change. It then
// declares what it was read as. The spans wait until that is known, which is
// at the first byte outside them that is no UTF-8, or at the page's end.
bool PageWriter::StaysWindows1252(std::size_t until) {
  // Up to the first byte that is no UTF-8 the page was checked when its
  // encoding was decided: only what follows is checked here.
  bool stays = checked_ <= firstNonUtf8_ && firstNonUtf8_ < until;
  if (checked_ > firstNonUtf8_) stays = utf8::FirstInvalid(page_.substr(checked_, until - checked_)).has_value();
  checked_ = until;
  return stays;
}

std::optional<std::string> PageWriter::Protect(std::size_t begin, std::size_t end, bool link, std::size_t line) {
  if (encoding_ == PageEncoding::Utf8 && utf8::FirstInvalid(page_.substr(begin, end - begin))) {
    return "Zeile " + std::to_string(line) + " ist kein gültiges UTF-8";
  }
  if (spans_++ == 0) declarationPlace_ = std::min(declarationPlace_, begin);
  pending_.push_back({begin, end, link});
  if (undecided_ && StaysWindows1252(begin)) undecided_ = false;
  checked_ = end;
  return undecided_ ? std::nullopt : Release();
}

std::optional<std::string> PageWriter::Finish() {
  if (spans_ == 0) return std::nullopt;  // nothing to protect: the page stays as it is
  if (undecided_ && !StaysWindows1252(page_.size())) declaration_ = DeclarationOf(encoding_);
  undecided_ = false;
  if (const auto failure = Release()) return failure;
  if (frames_ == nullptr) return std::nullopt;
  return Emit(page_.substr(copied_)) && Flush() ? std::nullopt : Failed();
}

// The pending spans, with the page's bytes before each; the declaration, when
// one is added, where the page's head begins.
std::optional<std::string> PageWriter::Release() {
  for (const Span& span : pending_) {
    if (frames_ == nullptr) continue;
    if (copied_ <= declarationPlace_ && declarationPlace_ <= span.begin && !declaration_.empty()) {
      if (!Emit(page_.substr(copied_, declarationPlace_ - copied_)) || !Emit(declaration_)) return Failed();
      copied_ = declarationPlace_;
      declarationPlace_ = page_.size() + 1;  // written
    }
    if (!Emit(page_.substr(copied_, span.begin - copied_))) return Failed();
    if (const auto failure = Encode(span)) return failure;
    copied_ = span.end;
  }
  pending_.clear();
  return std::nullopt;
}

std::optional<std::string> PageWriter::Encode(const Span& span) {
  const std::string_view source = page_.substr(span.begin, span.end - span.begin);
  const std::u16string text = encoding_ == PageEncoding::Windows1252 ? windows1252::ToText(source)
                                                                     : std::get<std::u16string>(utf8::Decode(source));
  const auto block = common::EncodeText(text, random_, span.link ? frames_->link : frames_->text);
  if (!block) return std::string("interner Fehler: ein Block gibt den Text nicht wieder");
  return Emit(*block) ? std::nullopt : Failed();
}

bool PageWriter::Emit(std::string_view bytes) {
  if (buffer_.size() + bytes.size() <= BufferBytes) {
    buffer_.append(bytes);
    return true;
  }
  return Flush() && (bytes.size() >= BufferBytes ? write_(bytes) : (buffer_.append(bytes), true));
}

bool PageWriter::Flush() {
  const bool written = buffer_.empty() || write_(buffer_);
  buffer_.clear();
  return written;
}

std::optional<std::string> PageWriter::Failed() {
  writeFailed_ = true;
  return std::string("sie kann nicht geschrieben werden");
}

}  // namespace rewrite
