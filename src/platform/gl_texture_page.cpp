// gl_texture_page: small image frames share 512x256 textures, so glyphs and sprites drawn
// one after another need no texture change between them (on a software rasteriser each
// change costs a draw of its own). The game's font fills nearly three quarters of such a page,
// its small sprites a sixth of another. A page is cut into 64x64 blocks and each block into
// square cells of one power-of-two size, aligned to that size. Mipmapped pages keep two
// levels: filtering the second still reaches no further than a picture's one-texel ring,
// where a third would blend in the neighbouring cell.
#include <GL/gl.h>
#include <bit>
#include <cstdint>
#include <vector>
#include "platform/gl_driver.h"
#include "platform/image.h"

namespace {

constexpr int kBlockSize = 64;
constexpr int kBlocksAcross = GL_PAGE_WIDTH / kBlockSize;
constexpr int kBlocks = kBlocksAcross * (GL_PAGE_HEIGHT / kBlockSize);

}  // namespace

class TGLTexturePage : public std::enable_shared_from_this<TGLTexturePage> {
 public:
  unsigned name = 0;
  int flags = 0, seq = 0;
  int cell_size[kBlocks] = {};  // 0: the block is free
  uint64_t used[kBlocks] = {};  // one bit per cell of the block

  ~TGLTexturePage() {
    if (!name || !GLCurrentGraphics() || seq != graphics_seq) return;  // its context is gone, and the texture with it
    glDeleteTextures(1, &name);
    GLForgetTexture(name);
  }

  int Take(int size, TGLPageCell* cell) {
    int per_side = kBlockSize / size, cells = per_side * per_side;
    uint64_t full = cells == 64 ? ~uint64_t{0} : (uint64_t{1} << cells) - 1;
    int block = -1;
    for (int b = 0; b < kBlocks && block < 0; b++)
      if (cell_size[b] == size && used[b] != full) block = b;
    for (int b = 0; b < kBlocks && block < 0; b++)
      if (cell_size[b] == 0) block = b;
    if (block < 0) return 0;
    int i = std::countr_one(used[block]);
    cell_size[block] = size;
    used[block] |= uint64_t{1} << i;
    cell->page = shared_from_this();
    cell->size = size;
    cell->x = (block % kBlocksAcross) * kBlockSize + (i % per_side) * size;
    cell->y = (block / kBlocksAcross) * kBlockSize + (i / per_side) * size;
    return 1;
  }

  void GiveBack(const TGLPageCell& cell) {
    int block = (cell.y / kBlockSize) * kBlocksAcross + cell.x / kBlockSize;
    int per_side = kBlockSize / cell.size;
    int i = (cell.y % kBlockSize) / cell.size * per_side + (cell.x % kBlockSize) / cell.size;
    used[block] &= ~(uint64_t{1} << i);
    if (!used[block]) cell_size[block] = 0;
  }
};

namespace {

std::vector<std::weak_ptr<TGLTexturePage>> pages;

// A page of transparent texels, bound; nullptr when the system refuses its size.
std::shared_ptr<TGLTexturePage> NewPage(int flags) {
  auto page = std::make_shared<TGLTexturePage>();
  page->flags = flags, page->seq = graphics_seq;
  glGenTextures(1, &page->name);
  GLBindTexture(page->name);
  GLSetTextureParameters(flags);
  int levels = (flags & IMG_MIPMAPPED) ? GL_PAGE_LEVELS : 1;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
  std::vector<uint8_t> clear(static_cast<size_t>(GL_PAGE_WIDTH) * GL_PAGE_HEIGHT * 4, 0);
  for (int level = 0; level < levels; level++)
    glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, GL_PAGE_WIDTH >> level, GL_PAGE_HEIGHT >> level, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, clear.data());
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  if (width != GL_PAGE_WIDTH) return nullptr;
  return page;
}

}  // namespace

TGLPageCell GLTakeCell(int size, int flags) {
  TGLPageCell cell;
  if (size < GL_SMALLEST_CELL || size > GL_LARGEST_CELL || !std::has_single_bit(static_cast<unsigned>(size))) return cell;
  for (auto it = pages.begin(); it != pages.end();) {
    auto page = it->lock();
    if (!page) {
      it = pages.erase(it);
      continue;
    }
    if (page->flags == flags && page->seq == graphics_seq && page->Take(size, &cell)) {
      GLBindTexture(page->name);
      return cell;
    }
    ++it;
  }
  auto page = NewPage(flags);
  if (!page) return cell;
  pages.push_back(page);
  page->Take(size, &cell);
  return cell;
}

void GLGiveBackCell(const TGLPageCell& cell) {
  if (cell.page) cell.page->GiveBack(cell);
}

unsigned GLPageTexture(const TGLTexturePage& page) { return page.name; }
