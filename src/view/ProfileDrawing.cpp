#include "view/ProfileDrawing.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/Numbers.h"
#include "workpiece/Clipping.h"

namespace soustruh {
namespace {

constexpr double kWidth = 1000;
constexpr double kSide = 70;          // free space left and right of the part
constexpr double kTitleHeight = 56;   // title and verdict lines
constexpr double kDimensionGap = 22;  // between stacked length dimensions
constexpr double kBottom = 40;
constexpr double kMaxScale = 60;  // pixels per millimetre, so a small part is not blown up
constexpr std::int64_t kLabelledLength = 10000;  // 1 mm: shorter steps are not dimensioned

std::string Mm(std::int64_t units) {
  return FormatFixed(static_cast<double>(units) / 10000.0, 3);
}

std::string Px(double value) {
  return FormatFixed(value, 1);
}

// XML text in ASCII: the markup characters as entities, every other non-ASCII character (UTF-8)
// as a numeric reference.
std::string Escaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      switch (text[i]) {
        case '&':
          out += "&amp;";
          break;
        case '<':
          out += "&lt;";
          break;
        case '>':
          out += "&gt;";
          break;
        case '"':
          out += "&quot;";
          break;
        default:
          out += text[i];
      }
      ++i;
      continue;
    }
    const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    std::uint32_t code = length == 1 ? 0xFFFDu : (b & (0x7Fu >> length));
    for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
      code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
    out += "&#" + std::to_string(code) + ";";
    i += length;
  }
  return out;
}

// Where the part lies on the picture.
struct Frame {
  std::int64_t zLo = 0, zHi = 1, rMax = 1;
  double scale = 1;  // pixels per length unit
  double top = 0;    // y of radius rMax
  double axisY = 0;

  double X(double z) const { return kSide + (z - static_cast<double>(zLo)) * scale; }
  double Y(double r) const { return axisY - r * scale; }
  double height() const { return axisY + kBottom; }
};

Frame FrameFor(std::int64_t zLo, std::int64_t zHi, std::int64_t rMax, int stackedDimensions) {
  Frame f;
  f.zLo = zLo;
  f.zHi = std::max(zHi, zLo + 1);
  f.rMax = std::max<std::int64_t>(rMax, 1);
  f.scale = std::min((kWidth - 2 * kSide) / static_cast<double>(f.zHi - f.zLo), kMaxScale / 10000);
  f.top = kTitleHeight + 20 + kDimensionGap * stackedDimensions;
  f.axisY = f.top + static_cast<double>(f.rMax) * f.scale;
  return f;
}

std::string Header(const Frame& f, const std::string& title) {
  const std::string h = Px(f.height());
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
         Px(kWidth) + "\" height=\"" + h + "\" viewBox=\"0 0 " + Px(kWidth) + " " + h +
         "\" font-family=\"sans-serif\" font-size=\"13\">\n"
         "<defs><marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" "
         "markerWidth=\"8\" markerHeight=\"8\" orient=\"auto-start-reverse\">"
         "<path d=\"M0,0 L10,5 L0,10 z\" fill=\"#000000\"/></marker></defs>\n"
         "<rect x=\"0\" y=\"0\" width=\"" +
         Px(kWidth) + "\" height=\"" + h +
         "\" fill=\"#FFFFFF\"/>\n"
         "<text x=\"" +
         Px(kSide) + "\" y=\"24\" font-size=\"16\" font-weight=\"bold\">" + Escaped(title) +
         "</text>\n";
}

std::string PointsOf(const Frame& f, const std::vector<ProfilePoint>& points) {
  std::string text;
  for (const ProfilePoint& p : points) {
    if (!text.empty()) text += ' ';
    text += Px(f.X(static_cast<double>(p.z))) + "," + Px(f.Y(static_cast<double>(p.r)));
  }
  return text;
}

std::string Axis(const Frame& f) {
  return "<line x1=\"" + Px(kSide - 20) + "\" y1=\"" + Px(f.axisY) + "\" x2=\"" +
         Px(kWidth - kSide + 20) + "\" y2=\"" + Px(f.axisY) +
         "\" stroke=\"#000000\" stroke-width=\"0.8\" stroke-dasharray=\"18,4,3,4\"/>\n";
}

std::string Line(double x1, double y1, double x2, double y2, const std::string& extra) {
  return "<line x1=\"" + Px(x1) + "\" y1=\"" + Px(y1) + "\" x2=\"" + Px(x2) + "\" y2=\"" + Px(y2) +
         "\" " + extra + "/>\n";
}

std::string Text(double x, double y, const std::string& text, const std::string& extra = "") {
  return "<text x=\"" + Px(x) + "\" y=\"" + Px(y) + "\" " + extra + ">" + text + "</text>\n";
}

// The faces dimensioned from the free end: every face but the back of the stock and the free end
// itself, nearest the free end first.
std::vector<ProfileFace> DimensionedFaces(const PartProfile& profile) {
  std::vector<ProfileFace> faces = Faces(profile);
  if (faces.size() <= 2) return {};
  faces.erase(faces.begin());
  faces.pop_back();
  std::reverse(faces.begin(), faces.end());
  return faces;
}

std::string DiameterDimension(const Frame& f, double z, std::int64_t r, const std::string& label) {
  const double x = f.X(z);
  return Line(x, f.axisY, x, f.Y(static_cast<double>(r)),
              "stroke=\"#000000\" stroke-width=\"0.8\" marker-end=\"url(#arrow)\"") +
         // Read upward from the axis, so a label longer than its line runs over the part and
         // never under the axis.
         Text(x - 4, f.axisY - 6, label,
              "font-size=\"12\" transform=\"rotate(-90 " + Px(x - 4) + " " + Px(f.axisY - 6) +
                  ")\"");
}

std::string Dimensions(const Frame& f, const PartProfile& profile) {
  std::string out;
  for (const ProfileStep& s : Steps(profile)) {
    if (s.zTo - s.zFrom < kLabelledLength) continue;
    const double mid = (static_cast<double>(s.zFrom) + static_cast<double>(s.zTo)) / 2;
    const std::int64_t r = (s.rFrom + s.rTo) / 2;
    const std::string label = s.Cylinder()
                                  ? "&#216;" + Mm(2 * s.rFrom)
                                  : "&#216;" + Mm(2 * s.rFrom) + " &#8594; &#216;" + Mm(2 * s.rTo);
    out += DiameterDimension(f, mid, r, label);
  }
  const std::vector<ProfileFace> faces = DimensionedFaces(profile);
  const double xEnd = f.X(static_cast<double>(profile.zMax()));
  for (std::size_t k = 0; k < faces.size(); ++k) {
    const double y = f.top - 14 - kDimensionGap * static_cast<double>(k);
    const double x = f.X(static_cast<double>(faces[k].z));
    const double faceTop = f.Y(static_cast<double>(std::max(faces[k].rBefore, faces[k].rAfter)));
    out += Line(x, faceTop - 3, x, y - 4, "stroke=\"#606060\" stroke-width=\"0.6\"");
    out += Line(xEnd, y - 4, xEnd, y + 4, "stroke=\"#606060\" stroke-width=\"0.6\"");
    out += Line(x, y, xEnd, y,
                "stroke=\"#000000\" stroke-width=\"0.8\" marker-start=\"url(#arrow)\" "
                "marker-end=\"url(#arrow)\"");
    out += Text((x + xEnd) / 2, y - 3, Mm(profile.zMax() - faces[k].z), "text-anchor=\"middle\"");
  }
  const double xEndTop = f.Y(static_cast<double>(RadiusAt(profile, profile.zMax()).value_or(0)));
  if (!faces.empty())
    out += Line(xEnd, xEndTop - 3, xEnd,
                f.top - 10 - kDimensionGap * static_cast<double>(faces.size() - 1),
                "stroke=\"#606060\" stroke-width=\"0.6\"");
  return out;
}

std::int64_t LargestRadius(const PartProfile& profile) {
  std::int64_t r = 0;
  for (const ProfilePoint& p : profile.points) r = std::max(r, p.r);
  return r;
}

TPolygon Section(const PartProfile& profile) {
  TPolygon polygon;
  for (const ProfilePoint& p : profile.points) polygon.push_back(ClipPoint{p.z, p.r});
  return polygon;
}

std::string Regions(const Frame& f, const TPolygons& regions, const std::string& colour) {
  std::string out;
  for (const TPolygon& polygon : regions) {
    std::vector<ProfilePoint> points;
    for (const ClipPoint& p : polygon) points.push_back(ProfilePoint{p.X, p.Y});
    out += "<polygon points=\"" + PointsOf(f, points) + "\" fill=\"" + colour + "\" stroke=\"" +
           colour + "\" stroke-width=\"2\" stroke-linejoin=\"round\"/>\n";
  }
  return out;
}

std::string Marker(const Frame& f, const ProfilePoint& at, const ProfilePoint& to, double mm,
                   const std::string& sign, const std::string& colour, double labelDy) {
  if (mm <= 0) return {};
  const double x = f.X(static_cast<double>(at.z)), y = f.Y(static_cast<double>(at.r));
  const double x2 = f.X(static_cast<double>(to.z)), y2 = f.Y(static_cast<double>(to.r));
  return "<circle cx=\"" + Px(x) + "\" cy=\"" + Px(y) + "\" r=\"7\" fill=\"none\" stroke=\"" +
         colour + "\" stroke-width=\"2\"/>\n" +
         Line(x, y, x2, y2, "stroke=\"" + colour + "\" stroke-width=\"1.5\"") +
         Line(x, y, x + 30, y + labelDy, "stroke=\"" + colour + "\" stroke-width=\"1\"") +
         Text(x + 33, y + labelDy + 4, sign + FormatFixed(mm, 3) + " mm",
              "fill=\"" + colour + "\" font-weight=\"bold\"");
}

}  // namespace

std::string ProfileSvg(const PartProfile& profile, const std::string& title) {
  const auto faces = static_cast<int>(DimensionedFaces(profile).size());
  const Frame f =
      FrameFor(profile.zMin(), profile.zMax(), LargestRadius(profile), std::max(faces, 1));
  std::string svg = Header(f, title);
  if (!profile.empty()) {
    svg += "<polygon points=\"" + PointsOf(f, profile.points) +
           "\" fill=\"#D8DEE6\" stroke=\"#000000\" stroke-width=\"1.5\" "
           "stroke-linejoin=\"round\"/>\n";
    svg += Axis(f);
    svg += Dimensions(f, profile);
  }
  return svg + "</svg>\n";
}

std::string ComparisonSvg(const PartProfile& part, const PartProfile& reference,
                          const ProfileDeviation& deviation, const std::string& title,
                          const std::string& verdict, bool passed) {
  std::int64_t zLo = reference.zMin(), zHi = reference.zMax();
  if (!part.empty()) {
    zLo = reference.empty() ? part.zMin() : std::min(zLo, part.zMin());
    zHi = reference.empty() ? part.zMax() : std::max(zHi, part.zMax());
  }
  const Frame f = FrameFor(zLo, zHi, std::max(LargestRadius(part), LargestRadius(reference)), 1);
  std::string svg = Header(f, title);
  svg +=
      Text(kSide, 44, Escaped(verdict),
           std::string("font-weight=\"bold\" fill=\"") + (passed ? "#1B7A1B" : "#C00000") + "\"");
  if (!part.empty())
    svg += "<polygon points=\"" + PointsOf(f, part.points) +
           "\" fill=\"#D8DEE6\" stroke=\"#404040\" stroke-width=\"1\"/>\n";
  const TPolygon partSection = Section(part);
  const TPolygon referenceSection = Section(reference);
  svg += Regions(f, ClipDifference(partSection, referenceSection).polygons, "#F39C12");
  svg += Regions(f, ClipDifference(referenceSection, partSection).polygons, "#D62728");
  if (!reference.empty())
    svg += "<polyline points=\"" + PointsOf(f, reference.points) +
           "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"1.2\" "
           "stroke-dasharray=\"6,3\"/>\n";
  svg += Axis(f);
  svg += Marker(f, deviation.leftOverAt, deviation.leftOverTo, deviation.leftOverMm, "+", "#B86E00",
                -22);
  svg +=
      Marker(f, deviation.tooDeepAt, deviation.tooDeepTo, deviation.tooDeepMm, "-", "#C00000", 22);
  const double legendY = f.height() - 14;
  svg += Text(kSide, legendY,
              "&#8212; &#8212; vzor    <tspan fill=\"#F39C12\">&#9632; materi&#225;l "
              "nav&#237;c</tspan>    <tspan fill=\"#D62728\">&#9632; ubr&#225;no "
              "hloub&#283;ji</tspan>");
  return svg + "</svg>\n";
}

}  // namespace soustruh
