#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// A picture as the windows pass it around: shared pixels plus a key that names them, so that
// work derived from the pixels (a window outline) can be kept per picture.
class Picture {
  public:
    Picture() = default;
    explicit Picture(QImage image, int64_t key = -1);

    bool IsNull() const { return m_image.isNull(); }
    const QImage& Image() const { return m_image; }
    int64_t Key() const { return m_key; }
    int PixelWidth() const { return m_image.width(); }
    int PixelHeight() const { return m_image.height(); }

    // Size in HIMETRIC units (hundredths of a millimetre) at the screen's resolution:
    // a 100-pixel cell reports 2646 at 96 dots per inch (15 twips per pixel).
    int32_t Width(float twipsPerPixel) const;
    int32_t Height(float twipsPerPixel) const;

    // A 32-bit handle under which the picture can be found again (the tray icon record).
    uint32_t Handle() const;
    static Picture FromHandle(uint32_t handle);

  private:
    QImage m_image;
    int64_t m_key = -1;
};

// Hands out the numbered cells of a sheet, row by row from 0 at the top left.
class PictureClip {
  public:
    PictureClip(const QImage& sheet, int rows, int cols);

    int Rows() const { return m_rows; }
    int Cols() const { return m_cols; }
    Picture GraphicCell(int index) const;

  private:
    int m_rows;
    int m_cols;
    std::vector<Picture> m_cells; // cut once: the sheet never changes
};
