// The Windows build's PNG codec, over the Windows Imaging Component. WIC's
// converter gives 8-bit RGBA from every PNG form its decoder reports; the
// shared header check runs first so a hostile size never reaches it.
#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <cstring>
#include <limits>

#include "framework/ComScope.h"
#include "framework/Handles.h"
#include "icon/PngCodec.h"
#include "icon/PngHeader.h"

namespace glyph::icon {
namespace {

constexpr UINT kRgbaBytes = 4;

std::string Failure(const char* step, HRESULT hr) {
  char code[16];
  wsprintfA(code, "%08lX", static_cast<unsigned long>(hr));
  return std::string("The imaging component failed to ") + step + " (error 0x" + code + ").";
}

bool MakeFactory(ComPtr<IWICImagingFactory>& factory, std::string& why) {
  const HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IWICImagingFactory, factory.PutVoid());
  if (FAILED(hr)) why = Failure("start", hr);
  return SUCCEEDED(hr);
}

}  // namespace

bool DecodePng(std::span<const std::uint8_t> bytes, RgbaImage& out, std::string& why) {
  PngHeader header;
  if (!CheckPngHeader(bytes, header, why)) return false;
  if (bytes.size() > std::numeric_limits<DWORD>::max()) {
    why = "The PNG file is too large to read.";
    return false;
  }
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (!MakeFactory(factory, why)) return false;
  ComPtr<IWICStream> stream;
  HRESULT hr = factory->CreateStream(stream.Put());
  // The stream only reads: WIC's interface lacks a const overload.
  if (SUCCEEDED(hr)) {
    hr = stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  }
  if (FAILED(hr)) {
    why = Failure("open the PNG bytes", hr);
    return false;
  }
  ComPtr<IWICBitmapDecoder> decoder;
  hr = factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, decoder.Put());
  if (SUCCEEDED(hr)) hr = decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand);
  ComPtr<IWICBitmapFrameDecode> frame;
  if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, frame.Put());
  if (FAILED(hr)) {
    why = Failure("read the PNG file", hr);
    return false;
  }
  UINT width = 0, height = 0;
  hr = frame->GetSize(&width, &height);
  if (FAILED(hr) || width != static_cast<UINT>(header.width) || height != static_cast<UINT>(header.height)) {
    why = "The PNG file's image does not have the size its header gives.";
    return false;
  }
  ComPtr<IWICFormatConverter> converter;
  hr = factory->CreateFormatConverter(converter.Put());
  if (SUCCEEDED(hr)) {
    hr = converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppRGBA, WICBitmapDitherTypeNone, nullptr,
                               0.0, WICBitmapPaletteTypeCustom);
  }
  if (FAILED(hr)) {
    why = Failure("convert the PNG pixels to RGBA", hr);
    return false;
  }
  out.width = header.width;
  out.height = header.height;
  out.pixels.assign(static_cast<std::size_t>(width) * height * kRgbaBytes, 0);
  hr = converter->CopyPixels(nullptr, width * kRgbaBytes, static_cast<UINT>(out.pixels.size()),
                             out.pixels.data());
  if (FAILED(hr)) {
    why = Failure("decode the PNG image data", hr);
    return false;
  }
  return true;
}

bool EncodePng(const RgbaImage& image, std::vector<std::uint8_t>& out, std::string& why) {
  if (!PngSizeAllowed(image.width, image.height, why)) return false;
  const UINT stride = static_cast<UINT>(image.width) * kRgbaBytes;
  if (image.pixels.size() != static_cast<std::size_t>(stride) * image.height) {
    why = "The image's pixel buffer does not match its size.";
    return false;
  }
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (!MakeFactory(factory, why)) return false;
  ComPtr<IStream> stream;
  HRESULT hr = ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
  ComPtr<IWICBitmapEncoder> encoder;
  if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Put());
  if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(frame.Put(), options.Put());
  if (SUCCEEDED(hr)) hr = frame->Initialize(options.Get());
  if (SUCCEEDED(hr)) hr = frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height));
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppRGBA;
  if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
  if (FAILED(hr)) {
    why = Failure("start a PNG file", hr);
    return false;
  }
  // An encoder may offer BGRA for the RGBA asked for; then swap R and B.
  std::vector<std::uint8_t> swapped;
  const std::uint8_t* rows = image.pixels.data();
  if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA)) {
    swapped = image.pixels;
    for (std::size_t i = 0; i < swapped.size(); i += kRgbaBytes) std::swap(swapped[i], swapped[i + 2]);
    rows = swapped.data();
  } else if (!IsEqualGUID(format, GUID_WICPixelFormat32bppRGBA)) {
    why = "The imaging component cannot write 8-bit RGBA PNG files.";
    return false;
  }
  // WritePixels only reads the rows.
  hr = frame->WritePixels(static_cast<UINT>(image.height), stride, static_cast<UINT>(image.pixels.size()),
                          const_cast<BYTE*>(rows));
  if (SUCCEEDED(hr)) hr = frame->Commit();
  if (SUCCEEDED(hr)) hr = encoder->Commit();
  STATSTG stat = {};
  if (SUCCEEDED(hr)) hr = stream->Stat(&stat, STATFLAG_NONAME);
  if (SUCCEEDED(hr) && stat.cbSize.QuadPart > std::numeric_limits<ULONG>::max()) hr = E_OUTOFMEMORY;
  const LARGE_INTEGER start = {};
  if (SUCCEEDED(hr)) hr = stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  if (SUCCEEDED(hr)) {
    out.assign(static_cast<std::size_t>(stat.cbSize.QuadPart), 0);
    hr = stream->Read(out.data(), static_cast<ULONG>(out.size()), &read);
  }
  if (FAILED(hr) || read != out.size()) {
    why = Failure("write the PNG file", FAILED(hr) ? hr : E_FAIL);
    return false;
  }
  return true;
}

}  // namespace glyph::icon
