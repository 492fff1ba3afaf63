// TIFF through the Windows Imaging Component, which Windows and Wine provide.
#include "host_constants.h"
#include "tiff_decoder.h"

#include <windows.h>

#include <wincodec.h>

#include <cstdio>

namespace hostemu {
namespace {

// Owns one reference to a COM interface.
template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (pointer_ != nullptr)
      pointer_->Release();
  }
  ComRef(const ComRef &) = delete;
  ComRef &operator=(const ComRef &) = delete;

  Interface *operator->() const { return pointer_; }
  Interface *get() const { return pointer_; }
  Interface **out() { return &pointer_; }
  void **outVoid() { return reinterpret_cast<void **>(&pointer_); }

 private:
  Interface *pointer_ = nullptr;
};

// COM is set up for the calling thread for as long as the decoding lasts,
// unless the thread has it already (in whichever mode).
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_))
      CoUninitialize();
  }
  ComScope(const ComScope &) = delete;
  ComScope &operator=(const ComScope &) = delete;
  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

std::string failure(const std::filesystem::path &path, const char *what, HRESULT result) {
  char code[16];
  std::snprintf(code, sizeof code, "%08lx", static_cast<unsigned long>(result));
  return path.string() + ": " + what + " (WIC error 0x" + code + ")";
}

// libtiff's rule for unassociated alpha, so that both decoders give the same bytes.
uint8_t premultiply(uint8_t value, uint8_t alpha) {
  return static_cast<uint8_t>((unsigned(value) * alpha + 127) / 255);
}

}  // namespace

ImageLoad decodeTiff(const std::filesystem::path &path, HostBitmap &bitmap) {
  ComScope com;
  if (!com.usable())
    return {IMAGERESULT_FILEERROR, path.string() + ": the imaging component cannot start"};

  ComRef<IWICImagingFactory> factory;
  HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    factory.outVoid());
  if (FAILED(result))
    return {IMAGERESULT_FILEERROR, failure(path, "the imaging component is not available", result)};

  ComRef<IWICBitmapDecoder> decoder;
  result = factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                              decoder.out());
  ComRef<IWICBitmapFrameDecode> frame;
  if (SUCCEEDED(result))
    result = decoder->GetFrame(0, frame.out());
  if (FAILED(result))
    return {IMAGERESULT_FILEERROR, failure(path, "cannot read the image", result)};

  UINT width = 0, height = 0;
  result = frame->GetSize(&width, &height);
  if (FAILED(result) || width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
    return {IMAGERESULT_FILEERROR, path.string() + ": image size missing or too large"};

  ComRef<IWICBitmapSource> pixels;
  result = WICConvertBitmapSource(GUID_WICPixelFormat32bppRGBA, frame.get(), pixels.out());
  std::vector<uint8_t> rgba(size_t(width) * height * 4);
  if (SUCCEEDED(result)) {
    result = pixels->CopyPixels(nullptr, width * 4, static_cast<UINT>(rgba.size()), rgba.data());
  }
  if (FAILED(result))
    return {IMAGERESULT_FILEERROR, failure(path, "cannot decode the pixels", result)};

  for (size_t i = 0; i < rgba.size(); i += 4) {
    for (size_t channel = 0; channel < 3; ++channel)
      rgba[i + channel] = premultiply(rgba[i + channel], rgba[i + 3]);
  }
  bitmap.width = static_cast<int32_t>(width);
  bitmap.height = static_cast<int32_t>(height);
  bitmap.rgba = std::move(rgba);
  return {IMAGERESULT_OK, {}};
}

}  // namespace hostemu
