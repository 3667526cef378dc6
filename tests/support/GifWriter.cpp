#include "support/GifWriter.h"

#include <cstdio>

namespace testing_support {

namespace {

void Put16(std::vector<uint8_t>& out, int value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// Pixel data of colour index 0 at LZW minimum code size 2. A clear code before every pixel keeps
// the code width at 3 bits and the decoder's table empty, so no compression logic is needed.
std::vector<uint8_t> SolidPixelData(int pixelCount) {
  const int kClear = 4;
  const int kEnd = 5;
  std::vector<uint8_t> bytes;
  uint32_t bits = 0;
  int bitCount = 0;
  auto emit = [&](int code) {
    bits |= static_cast<uint32_t>(code) << bitCount;
    bitCount += 3;
    while (bitCount >= 8) {
      bytes.push_back(static_cast<uint8_t>(bits & 0xFF));
      bits >>= 8;
      bitCount -= 8;
    }
  };
  for (int i = 0; i < pixelCount; ++i) {
    emit(kClear);
    emit(0);
  }
  emit(kEnd);
  if (bitCount > 0) bytes.push_back(static_cast<uint8_t>(bits & 0xFF));
  std::vector<uint8_t> blocks;
  blocks.push_back(2);  // LZW minimum code size
  for (size_t pos = 0; pos < bytes.size(); pos += 255) {
    const size_t n = bytes.size() - pos < 255 ? bytes.size() - pos : 255;
    blocks.push_back(static_cast<uint8_t>(n));
    blocks.insert(blocks.end(), bytes.begin() + pos, bytes.begin() + pos + n);
  }
  blocks.push_back(0);
  return blocks;
}

}  // namespace

bool WriteSolidGif(const std::wstring& path, int width, int height,
                   const std::vector<GifFrame>& frames) {
  std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, width);
  Put16(out, height);
  out.insert(out.end(), {0x00, 0x00, 0x00});  // no global colour table
  // Loop forever.
  const uint8_t loop[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
                          0x03, 0x01, 0x00, 0x00, 0x00};
  out.insert(out.end(), loop, loop + sizeof(loop));
  const std::vector<uint8_t> pixels = SolidPixelData(width * height);
  for (const GifFrame& frame : frames) {
    out.insert(out.end(), {0x21, 0xF9, 0x04, 0x04});  // graphic control: keep the frame
    Put16(out, frame.delayHundredths);
    out.insert(out.end(), {0x00, 0x00});
    out.push_back(0x2C);  // image descriptor
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, width);
    Put16(out, height);
    out.push_back(0x81);  // local colour table of 4 entries
    const uint8_t r = static_cast<uint8_t>(frame.rgb >> 16);
    const uint8_t g = static_cast<uint8_t>(frame.rgb >> 8);
    const uint8_t b = static_cast<uint8_t>(frame.rgb);
    out.insert(out.end(), {r, g, b, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    out.insert(out.end(), pixels.begin(), pixels.end());
  }
  out.push_back(0x3B);
  FILE* pFile = _wfopen(path.c_str(), L"wb");
  if (pFile == nullptr) return false;
  const bool bWritten = fwrite(out.data(), 1, out.size(), pFile) == out.size();
  return fclose(pFile) == 0 && bWritten;
}

}  // namespace testing_support
