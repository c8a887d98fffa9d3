// Rotation frames in 14-bit fixed point: building, turning, moving and
// transforming points.
#include <cstring>

#include "system/asm3d/zidade3d.h"

namespace {

using Matrix = int32_t[3][3];

// The sum of three products of a 14-bit matrix entry m and a 32-bit value
// v, divided by 16384 and rounded. Each v is split into its signed high and
// unsigned low halves, so the low products round together and the high
// ones are exact; taken in 64 bits, no precision is lost.
int32_t FixDot(int32_t m0, int32_t m1, int32_t m2, int32_t v0, int32_t v1, int32_t v2) {
  const auto low = [](int32_t v) { return static_cast<int64_t>(static_cast<uint32_t>(v) & 0xFFFF); };
  const auto high = [](int32_t v) { return static_cast<int64_t>(v >> 16); };
  const int64_t lows = m0 * low(v0) + m1 * low(v1) + m2 * low(v2);
  const int64_t highs = m0 * high(v0) + m1 * high(v1) + m2 * high(v2);
  return static_cast<int32_t>(((lows + 8192) >> 14) + highs * 4);
}

// point := point (a row vector) times m.
void RowTimes(const Matrix m, int32_t point[3]) {
  const int32_t x = point[0], y = point[1], z = point[2];
  for (int j = 0; j < 3; ++j) point[j] = FixDot(m[0][j], m[1][j], m[2][j], x, y, z);
}

// The frame turned by r: its rotation times r, and its inverse times r
// transposed from the left, which keeps the inverse the transpose.
void Turn(FIXFRAME* frame, const Matrix r) {
  LS_MulMatrixFrame(r, frame);
  Matrix transposed;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) transposed[i][j] = r[j][i];
  LS_MulMatrix(transposed, frame->Inverse);
}

}  // namespace

void LS_MulMatrixFrame(const int32_t r[3][3], FIXFRAME* frame) {
  Matrix result;
  const auto& f = frame->Rotation;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) result[i][j] = FixDot(r[0][j], r[1][j], r[2][j], f[i][0], f[i][1], f[i][2]);
  std::memcpy(frame->Rotation, result, sizeof result);
}

void LS_MulMatrix(const int32_t r[3][3], int32_t inverse[3][3]) {
  Matrix result;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      result[i][j] = FixDot(r[i][0], r[i][1], r[i][2], inverse[0][j], inverse[1][j], inverse[2][j]);
  std::memcpy(inverse, result, sizeof result);
}

void LS_MatrixFromAngles(FIXFRAME* frame, uint16_t ax, uint16_t ay, uint16_t az) {
  const int32_t cx = LS_Cos(ax), sx = LS_Sin(ax);
  const int32_t cy = LS_Cos(ay), sy = LS_Sin(ay);
  const int32_t cz = LS_Cos(az), sz = LS_Sin(az);
  auto& m = frame->Rotation;
  m[0][0] = (cz * cy) >> 14;
  m[0][1] = ((((cy * cx) >> 14) * sz) >> 14) - ((sy * sx) >> 14);
  m[0][2] = ((((cy * sx) >> 14) * sz) >> 14) + ((sy * cx) >> 14);
  m[1][0] = -sz;
  m[1][1] = (cz * cx) >> 14;
  m[1][2] = (cz * sx) >> 14;
  m[2][0] = -((cz * sy) >> 14);
  m[2][1] = -(((((sy * cx) >> 14) * sz) >> 14) + ((cy * sx) >> 14));
  m[2][2] = ((cy * cx) >> 14) - ((((sy * sx) >> 14) * sz) >> 14);
  frame->Position[0] = frame->Position[1] = frame->Position[2] = 0;
}

void LS_InitMatrix(FIXFRAME* frame, int32_t x, int32_t y, int32_t z) {
  LS_MatrixFromAngles(frame, 0, 0, 0);
  std::memcpy(frame->Inverse, frame->Rotation, sizeof frame->Inverse);
  frame->Position[0] = x;
  frame->Position[1] = y;
  frame->Position[2] = z;
  frame->Last = 0;
}

void LS_RotateX(FIXFRAME* frame, uint16_t angle) {
  const int32_t c = LS_Cos(angle), s = LS_Sin(angle);
  const Matrix r = {{LS_FIXONE, 0, 0}, {0, c, s}, {0, -s, c}};
  Turn(frame, r);
}

void LS_RotateY(FIXFRAME* frame, uint16_t angle) {
  const int32_t c = LS_Cos(angle), s = LS_Sin(angle);
  const Matrix r = {{c, 0, s}, {0, LS_FIXONE, 0}, {-s, 0, c}};
  Turn(frame, r);
}

void LS_RotateZ(FIXFRAME* frame, uint16_t angle) {
  const int32_t c = LS_Cos(angle), s = LS_Sin(angle);
  const Matrix r = {{c, s, 0}, {-s, c, 0}, {0, 0, LS_FIXONE}};
  Turn(frame, r);
}

void LS_MoveMatrixZ(FIXFRAME* frame, int32_t d) {
  int32_t step[3] = {0, 0, d};
  RowTimes(frame->Inverse, step);
  for (int j = 0; j < 3; ++j)
    frame->Position[j] =
        static_cast<int32_t>(static_cast<uint32_t>(frame->Position[j]) + static_cast<uint32_t>(step[j]));
}

void LS_TransformPoint(const FIXFRAME* frame, int32_t point[3]) { RowTimes(frame->Rotation, point); }

void LS_TransformVector(const FIXFRAME* frame, FIXFRAME* block) {
  RowTimes(frame->Rotation, block->Position);
}

void LS_SetMatrixPos(FIXFRAME* block, int32_t x, int32_t y, int32_t z) {
  std::memset(block->Rotation, 0, sizeof block->Rotation);
  for (int i = 0; i < 3; ++i) block->Rotation[i][i] = 1;
  block->Position[0] = x;
  block->Position[1] = y;
  block->Position[2] = z;
}
