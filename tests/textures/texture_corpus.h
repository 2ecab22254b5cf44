// Real images for the codec's tests and benchmark, from Debian packages (python3-skimage and
// extremetuxracer-data), loaded with stb_image and cropped to whole 4x4 blocks.
#pragma once

#include <stb/stb_image.h>

#include <cstdint>
#include <string>
#include <vector>

#include "textures/bitmap32.h"

namespace ashtint::corpus {

struct TCorpusImage {
  std::string Group;  // "photo", "texture" or "alpha"
  std::string Path;
};

inline const std::vector<TCorpusImage>& CorpusImages() {
  static const std::vector<TCorpusImage> images = [] {
    const std::string sk = "/usr/lib/python3/dist-packages/skimage/data/";
    const std::string etr = "/usr/share/games/etr/";
    std::vector<TCorpusImage> list;
    for (const char* f : {"astronaut.png", "chelsea.png", "coffee.png", "hubble_deep_field.jpg",
                          "ihc.png", "motorcycle_left.png", "retina.jpg", "rocket.jpg"})
      list.push_back({"photo", sk + f});
    for (const char* f : {"terrains/rock01.png", "terrains/grass01.png", "terrains/dirt01.png",
                          "terrains/pave02.png", "terrains/snow01.png", "terrains/sand01.png",
                          "terrains/icy_rock06.png", "terrains/pebbles04.png",
                          "env/etr/sunny/frontH.png"})
      list.push_back({"texture", etr + f});
    for (const char* f : {"objects/herring.png", "objects/shrub.png", "objects/snowy_tree1.png",
                          "objects/tree_barren2.png", "objects/flag.png", "textures/splash_1.png",
                          "textures/menu_title.png", "textures/snow3.png"})
      list.push_back({"alpha", etr + f});
    return list;
  }();
  return images;
}

// The image as 0xAARRGGBB pixels cropped at the top left to a multiple of 4; false when the
// file cannot be read.
inline bool LoadCorpusImage(const std::string& path, TBitmap32& image) {
  int w = 0, h = 0, channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 4);
  if (!data) return false;
  const int cw = w / 4 * 4, ch = h / 4 * 4;
  image.SetSize(cw, ch);
  for (int y = 0; y < ch; ++y) {
    for (int x = 0; x < cw; ++x) {
      const unsigned char* p = data + (std::size_t(y) * w + x) * 4;
      image.At(x, y) = std::uint32_t(p[3]) << 24 | std::uint32_t(p[0]) << 16 |
                       std::uint32_t(p[1]) << 8 | p[2];
    }
  }
  stbi_image_free(data);
  return true;
}

inline std::string ShortName(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

}  // namespace ashtint::corpus
