#include "view/SvgCanvas.h"

#include <algorithm>
#include <vector>

#include "platform/TextFile.h"

namespace soustruh {

std::string SvgColour(BgrColour colour) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const auto bits = static_cast<std::uint32_t>(colour);
  const std::uint32_t channels[3] = {bits & 0xFFu, (bits >> 8) & 0xFFu, (bits >> 16) & 0xFFu};
  std::string text = "#";
  for (const std::uint32_t channel : channels) {
    text += kDigits[channel >> 4];
    text += kDigits[channel & 0xFu];
  }
  return text;
}

SvgCanvas::SvgCanvas(std::int32_t width, std::int32_t height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {}

std::string SvgCanvas::Attributes() const {
  return " fill=\"" + SvgColour(brush_) + "\" stroke=\"" + SvgColour(pen_) + "\"/>\n";
}

void SvgCanvas::FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom) {
  const std::int64_t width = std::max<std::int64_t>(0, std::int64_t{right} - left);
  const std::int64_t height = std::max<std::int64_t>(0, std::int64_t{bottom} - top);
  body_ += "<rect x=\"" + std::to_string(left) + "\" y=\"" + std::to_string(top) + "\" width=\"" +
           std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"" + Attributes();
}

void SvgCanvas::FillPolygon(std::span<const ScreenPoint> points) {
  body_ += "<polygon points=\"";
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) body_ += ' ';
    body_ += std::to_string(points[i].x);
    body_ += ',';
    body_ += std::to_string(points[i].y);
  }
  body_ += "\" fill-rule=\"evenodd\"" + Attributes();
}

void SvgCanvas::DrawPolyline(std::span<const ScreenPoint> points) {
  body_ += "<polyline points=\"";
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) body_ += ' ';
    body_ += std::to_string(points[i].x);
    body_ += ',';
    body_ += std::to_string(points[i].y);
  }
  body_ += "\" fill=\"none\" stroke=\"" + SvgColour(pen_) + "\"/>\n";
}

void SvgCanvas::Present() {
  presented_.swap(body_);
  body_.clear();
  hasPresented_ = true;
}

std::string SvgCanvas::Document() const {
  const std::string w = std::to_string(width_);
  const std::string h = std::to_string(height_);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
         w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h +
         "\" stroke-width=\"1\" shape-rendering=\"crispEdges\">\n" +
         (hasPresented_ ? presented_ : body_) + "</svg>\n";
}

std::string SvgCanvas::Save(const std::filesystem::path& path) const {
  // The document is plain ASCII, which every encoding of the text writer keeps as it is.
  std::vector<std::string> lines;
  const std::string document = Document();
  std::size_t start = 0;
  while (start < document.size()) {
    const std::size_t end = document.find('\n', start);
    lines.push_back(document.substr(start, end - start));
    start = end + 1;
  }
  return WriteLines(path, lines);
}

}  // namespace soustruh
