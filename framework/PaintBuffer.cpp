#include "framework/PaintBuffer.h"

namespace glyph {

PaintBuffer::PaintBuffer(HDC target, const RECT& rect) : target_(target), rect_(rect) {
  // A printer has no screen to flicker, and a bitmap of a page would be huge.
  if (::GetDeviceCaps(target, TECHNOLOGY) == DT_RASPRINTER) return;
  memory_.Reset(::CreateCompatibleDC(target));
  bitmap_.Reset(::CreateCompatibleBitmap(target, rect.right - rect.left, rect.bottom - rect.top));
  if (!memory_ || !bitmap_) {
    memory_.Reset();
    bitmap_.Reset();
    return;
  }
  displaced_ = ::SelectObject(memory_.Get(), bitmap_.Get());
  ::SetWindowOrgEx(memory_.Get(), rect.left, rect.top, nullptr);
}

PaintBuffer::~PaintBuffer() {
  if (!memory_) return;
  ::BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, memory_.Get(),
           rect_.left, rect_.top, SRCCOPY);
  // The bitmap must leave the DC before either owner frees its handle.
  ::SelectObject(memory_.Get(), displaced_);
}

}  // namespace glyph
