// Joining aligned faces of one cube: coplanar same-material triangles that
// together make a larger triangle become it, and shared diagonals flip when
// that allows more joins; both only where the texture mapping carries
// across unchanged.
#include <algorithm>
#include <iterator>
#include <cmath>
#include <cstring>
#include <vector>

#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "track/cubes.h"

namespace {

constexpr double kPlaneTolerance = 0.01;
constexpr double kUvShare = 0.0078125;  // u and v tolerance: the point tolerance / 128
constexpr double kFarAway = 100000000.0;
constexpr uint8_t kMarked = 1;
constexpr int32_t kLiveSweepFrom = 16;  // clusters this large first try passing over still faces
constexpr int32_t kLiveSweepTries = 8;

double UvTolerance() { return SB_Var.JoinTolerance * kUvShare; }

bool Marked(const TLMAPFACE& f) { return f.Done & kMarked; }

// For each vertex of a, the first vertex of b equal to it, or -1; true
// when exactly two match, on two different vertices of b.
bool MatchTwo(const TLMAPFACE& a, const TLMAPFACE& b, int32_t match[3]) {
  int32_t count = 0;
  for (int32_t i = 0; i < 3; ++i) {
    match[i] = -1;
    for (int32_t j = 0; j < 3 && match[i] < 0; ++j)
      if (SB_SamePointUV(&a.V[i], &b.V[j])) match[i] = j;
    count += match[i] >= 0;
  }
  if (count != 2) return false;
  int32_t first = -1;
  for (int32_t i = 0; i < 3; ++i)
    if (match[i] >= 0) {
      if (match[i] == first) return false;
      first = match[i];
    }
  return true;
}

// The vertex index of a face not among the matched ones.
int32_t Unmatched(const int32_t used[3]) {
  for (int32_t i = 0; i < 3; ++i)
    if (!used[i]) return i;
  return 0;
}

void Sub(const TLMAPVERTEX& a, const TLMAPVERTEX& b, double out[3]) {
  out[0] = a.X - b.X, out[1] = a.Y - b.Y, out[2] = a.Z - b.Z;
}
double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The unnormalised normal (r - p) x (q - p), as the construction's normals.
void RawNormal(const TLMAPFACE& f, double n[3]) {
  double e[3], g[3];
  Sub(f.V[2], f.V[0], e), Sub(f.V[1], f.V[0], g);
  n[0] = e[1] * g[2] - e[2] * g[1], n[1] = e[2] * g[0] - e[0] * g[2], n[2] = e[0] * g[1] - e[1] * g[0];
}

bool SameUv(double u, double v, const TLMAPVERTEX& p) {
  return std::fabs(u - p.U) < UvTolerance() && std::fabs(v - p.V) < UvTolerance();
}

// The joined-away vertex s lies on the new edge from fa to fb: its u and v
// must be those the edge gives at its place.
bool UvOnEdge(const TLMAPVERTEX& s, const TLMAPVERTEX& fa, const TLMAPVERTEX& fb) {
  double e[3], d[3];
  Sub(fb, fa, e), Sub(s, fa, d);
  const double length2 = Dot(e, e);
  if (length2 == 0) return false;
  const double t = Dot(d, e) / length2;
  return SameUv(fa.U + t * (fb.U - fa.U), fa.V + t * (fb.V - fa.V), s);
}

// The face's mapping, extended over its plane, gives the point its own u
// and v.
bool MappingReaches(const TLMAPFACE& f, const TLMAPVERTEX& p) {
  double e1[3], e2[3], d[3];
  Sub(f.V[1], f.V[0], e1), Sub(f.V[2], f.V[0], e2), Sub(p, f.V[0], d);
  const double a = Dot(e1, e1), b = Dot(e1, e2), c = Dot(e2, e2), det = a * c - b * b;
  if (std::fabs(det) <= 1e-12 * a * c || det == 0) return false;
  const double r1 = Dot(d, e1), r2 = Dot(d, e2);
  const double s = (r1 * c - r2 * b) / det, t = (a * r2 - b * r1) / det;
  const TLMAPVERTEX &o = f.V[0], &p1 = f.V[1], &p2 = f.V[2];
  return SameUv(o.U + s * (p1.U - o.U) + t * (p2.U - o.U), o.V + s * (p1.V - o.V) + t * (p2.V - o.V), p);
}

// Work lists of a join: the cluster and the output.
struct TJOINLISTS {
  TLMAPFACE* Cluster;
  TLMAPFACE* Output;
};

bool AllocateLists(uint32_t count, TJOINLISTS* lists) {
  const char* owner = "SB_JoinAlligned";
  const int32_t bytes = static_cast<int32_t>(count * sizeof(TLMAPFACE));
  lists->Cluster = static_cast<TLMAPFACE*>(SB_GetMemHeap(bytes, owner));
  if (!lists->Cluster) SB_ConsolePrintf("Memory allocation error...");
  lists->Output = static_cast<TLMAPFACE*>(SB_GetMemHeap(bytes, owner));
  if (!lists->Output) SB_ConsolePrintf("Memory allocation error...");
  if (lists->Cluster && lists->Output) return true;
  if (lists->Cluster) SB_Release(lists->Cluster);
  if (lists->Output) SB_Release(lists->Output);
  SB_MapBufferFull(owner);
  return false;
}

// Moves the first face and every later coplanar face of its material into
// the cluster, keeping the rest of the list in order; the cluster's count.
uint32_t TakeCoplanarCluster(TLMAPFACE* cluster, TLMAP* list) {
  uint32_t taken = 0, kept = 0;
  const TLMAPFACE first = list->Faces[0];
  for (uint32_t i = 0; i < list->NbFaces; ++i) {
    const TLMAPFACE& f = list->Faces[i];
    if (i == 0 || (std::memcmp(f.Material, first.Material, sizeof f.Material) == 0 && SB_FacesCoplanar(&first, &f)))
      cluster[taken++] = f;
    else
      list->Faces[kept++] = f;
  }
  list->NbFaces = kept;
  return taken;
}

// Told of each pair operation that changed faces i and j.
struct TWATCH {
  virtual void Took(int32_t i, int32_t j) = 0;

 protected:
  ~TWATCH() = default;
};

// The faces' boxes, so that pairs too far apart to share a corner are
// passed over at once (every pair operation needs two shared corners), and
// with them each face's list of the faces that may share a corner with it,
// so that a sweep visits only those. A list may hold more faces than share
// a corner now: after an operation on two faces, each of them holds only
// corners the two had before, so each takes the union of the two lists,
// and every face of that union lists both.
class TNEARFACES {
 public:
  TNEARFACES(const TLMAPFACE* faces, int32_t n, bool lists)
      : faces_(faces), n_(n), box_(6 * static_cast<size_t>(n)), lists_(lists), tolerance_(SB_Var.JoinTolerance) {
    for (int32_t i = 0; i < n; ++i) Take(i);
    if (!lists_) return;
    near_.resize(static_cast<size_t>(n));
    last_.assign(static_cast<size_t>(n), -1);
    // Faces by their lowest coordinate on the axis along which they spread
    // most, so that each meets only those whose range on that axis reaches
    // its own: fewer than on an axis across which a road runs.
    const int32_t axis = SpreadAxis();
    std::vector<int32_t> order(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) { return Box(a)[axis] < Box(b)[axis]; });
    for (size_t x = 0; x < order.size(); ++x)
      for (size_t y = x + 1;
           y < order.size() && Box(order[y])[axis] <= Box(order[x])[axis + 3] + tolerance_; ++y) {
        const int32_t i = order[x], k = order[y];
        if (Near(i, k) && ShareCorner(faces_[i], faces_[k])) near_[i].push_back(k), near_[k].push_back(i);
      }
    for (int32_t i = 0; i < n; ++i) {
      std::sort(near_[i].begin(), near_[i].end());
      if (!near_[i].empty()) last_[i] = near_[i].back();
    }
  }
  // The face changed: its box again.
  void Take(int32_t i) {
    double* b = &box_[6 * static_cast<size_t>(i)];
    const TLMAPVERTEX* v = faces_[i].V;
    b[0] = std::fmin(v[0].X, std::fmin(v[1].X, v[2].X)), b[3] = std::fmax(v[0].X, std::fmax(v[1].X, v[2].X));
    b[1] = std::fmin(v[0].Y, std::fmin(v[1].Y, v[2].Y)), b[4] = std::fmax(v[0].Y, std::fmax(v[1].Y, v[2].Y));
    b[2] = std::fmin(v[0].Z, std::fmin(v[1].Z, v[2].Z)), b[5] = std::fmax(v[0].Z, std::fmax(v[1].Z, v[2].Z));
  }
  // An operation changed faces i and j: their boxes and lists. When
  // neither list grows, each face of either lists both already.
  void TakePair(int32_t i, int32_t j) {
    if (watch_) watch_->Took(i, j);
    Take(i), Take(j);
    if (!lists_) return;
    merged_.clear();
    std::set_union(near_[i].begin(), near_[i].end(), near_[j].begin(), near_[j].end(), std::back_inserter(merged_));
    Insert(&merged_, i), Insert(&merged_, j);
    if (near_[i].size() + 1 == merged_.size() && near_[j].size() + 1 == merged_.size()) return;
    ++growths_;
    for (const int32_t a : {i, j}) {
      std::vector<int32_t>& l = near_[a];
      l.clear();
      for (const int32_t c : merged_)
        if (c != a) l.push_back(c);
      last_[a] = l.empty() ? -1 : l.back();
    }
    for (const int32_t c : merged_)
      for (const int32_t a : {i, j})
        if (c != a && Insert(&near_[c], a)) last_[c] = near_[c].back();
  }
  // Told of every operation that changed two faces (null: none).
  void Watch(TWATCH* watch) { watch_ = watch; }
  // The faces that may share a corner with face i, ascending.
  const std::vector<int32_t>& List(int32_t i) const { return near_[i]; }
  // How many times a list grew: candidates taken before may be too few.
  uint64_t Growths() const { return growths_; }
  bool Near(int32_t i, int32_t j) const {
    const double *a = Box(i), *b = Box(j);
    const double t = tolerance_;
    return a[0] <= b[3] + t && b[0] <= a[3] + t && a[1] <= b[4] + t && b[1] <= a[4] + t && a[2] <= b[5] + t &&
           b[2] <= a[5] + t;
  }
  // Whether faces i and j may share a corner (always without the lists).
  bool MayTouch(int32_t i, int32_t j) const {
    return !lists_ || std::binary_search(near_[i].begin(), near_[i].end(), j);
  }
  // Whether any face after `after` may share a corner with face i or j.
  bool AnyAfter(int32_t i, int32_t j, int32_t after) const {
    return !lists_ || last_[i] > after || last_[j] > after;
  }
  // Every face after `after` that may share a corner with face i or face
  // j, ascending (all of them without the lists).
  void Candidates(int32_t i, int32_t j, int32_t after, std::vector<int32_t>* out) const {
    out->clear();
    if (!lists_) {
      for (int32_t k = after + 1; k < n_; ++k) out->push_back(k);
      return;
    }
    const std::vector<int32_t>&a = near_[i], &b = near_[j];
    std::set_union(std::upper_bound(a.begin(), a.end(), after), a.end(), std::upper_bound(b.begin(), b.end(), after),
                   b.end(), std::back_inserter(*out));
  }

 private:
  const double* Box(int32_t i) const { return &box_[6 * static_cast<size_t>(i)]; }
  // The axis (0 x, 1 y, 2 z) along which the faces' boxes spread most.
  int32_t SpreadAxis() const {
    double low[3] = {kFarAway, kFarAway, kFarAway}, high[3] = {-kFarAway, -kFarAway, -kFarAway};
    for (int32_t i = 0; i < n_; ++i)
      for (int32_t a = 0; a < 3; ++a)
        low[a] = std::fmin(low[a], Box(i)[a]), high[a] = std::fmax(high[a], Box(i)[a + 3]);
    int32_t best = 0;
    for (int32_t a = 1; a < 3; ++a)
      if (high[a] - low[a] > high[best] - low[best]) best = a;
    return best;
  }
  static bool ShareCorner(const TLMAPFACE& a, const TLMAPFACE& b) {
    for (const TLMAPVERTEX& v : a.V)
      for (const TLMAPVERTEX& w : b.V)
        if (SB_SamePointUV(&v, &w)) return true;
    return false;
  }
  // Inserts in order; true when it was missing.
  static bool Insert(std::vector<int32_t>* l, int32_t a) {
    const auto at = std::lower_bound(l->begin(), l->end(), a);
    if (at != l->end() && *at == a) return false;
    l->insert(at, a);
    return true;
  }

  const TLMAPFACE* faces_;
  int32_t n_;
  std::vector<double> box_;  // min x, y, z, max x, y, z per face
  bool lists_;
  double tolerance_;
  std::vector<std::vector<int32_t>> near_;  // the faces that may share a corner with each face, ascending
  std::vector<int32_t> last_;               // the last of each list, -1 when empty
  std::vector<int32_t> merged_;
  uint64_t growths_ = 0;
  TWATCH* watch_ = nullptr;
};

// One pair operation (join or flip) of faces i and j, their boxes kept.
bool Pair(int32_t (*operation)(TLMAPFACE*, TLMAPFACE*), TLMAPFACE* f, TNEARFACES* near, int32_t i, int32_t j) {
  if (!near->Near(i, j) || !operation(&f[i], &f[j])) return false;
  near->TakePair(i, j);
  return true;
}

bool ShareEdge(const TLMAPFACE* f, const TNEARFACES& near, int32_t i, int32_t j) {
  return near.Near(i, j) && SB_FacesShareEdge(&f[i], &f[j]);
}

// Joins of the pairs of a triple (1: i j, 2: j k, 4: k i), in that order.
bool TryJoins(TLMAPFACE* f, TNEARFACES* near, int32_t i, int32_t j, int32_t k, int pairs) {
  bool joined = false;
  if (pairs & 1) joined |= Pair(SB_JoinTwoFaces, f, near, i, j);
  if (pairs & 2) joined |= Pair(SB_JoinTwoFaces, f, near, j, k);
  if (pairs & 4) joined |= Pair(SB_JoinTwoFaces, f, near, k, i);
  return joined;
}

// The work of a sweep for the triple i < j < k; true when a face changed.
bool Triple(TLMAPFACE* f, TNEARFACES* near, int32_t i, int32_t j, int32_t k, bool* joined) {
  bool changed = false;
  auto note = [&](bool b) {
    changed |= b;
    return b;
  };
  *joined |= note(TryJoins(f, near, i, j, k, 7));
  if (note(Pair(SB_FlipDiagonal, f, near, i, j))) *joined |= note(TryJoins(f, near, i, j, k, 2 | 4));
  if (note(Pair(SB_FlipDiagonal, f, near, j, k))) *joined |= note(TryJoins(f, near, i, j, k, 1 | 4));
  if (note(Pair(SB_FlipDiagonal, f, near, k, i))) *joined |= note(TryJoins(f, near, i, j, k, 1 | 2));
  return changed;
}

// Faces i and j as they stand, to see the steps of an idle run repeat.
struct TPAIRSTATE {
  TLMAPFACE A, B;
  bool operator==(const TPAIRSTATE& o) const { return std::memcmp(this, &o, sizeof *this) == 0; }
};
TPAIRSTATE StateOf(const TLMAPFACE* f, int32_t i, int32_t j) {
  TPAIRSTATE s;
  std::memset(&s, 0, sizeof s);
  std::memcpy(&s.A, &f[i], sizeof(TLMAPFACE));
  std::memcpy(&s.B, &f[j], sizeof(TLMAPFACE));
  return s;
}

// The third faces k from `from` up to `end` of a pair that shares an edge,
// none of them near i or j: each one's triple can change only i and j (every
// operation with k fails on the boxes) and does the same whatever k is. The
// steps are made one by one until i and j come back to a state they had
// one or two steps before; the rest of the run then repeats that cycle, so
// only the steps that do not complete it are made. Stops early when a list
// box grew (the lists must be taken again) or the pair no longer shares an
// edge. The k after the last step made or passed over.
int32_t IdleRun(TLMAPFACE* f, TNEARFACES* near, int32_t i, int32_t j, int32_t from, int32_t end, bool* joined,
                bool* shared, bool* changed) {
  TPAIRSTATE seen[2];
  int32_t steps = 0;
  const uint64_t growths = near->Growths();
  for (int32_t k = from; k < end; ++k) {
    const TPAIRSTATE now = StateOf(f, i, j);
    int32_t period = 0;
    if (steps >= 1 && now == seen[(steps - 1) % 2]) period = 1;
    else if (steps >= 2 && now == seen[steps % 2]) period = 2;
    if (period) {
      int32_t left = (end - k) % period;
      for (; left > 0; --left, ++k) {
        *changed |= Triple(f, near, i, j, k, joined);
        *shared = ShareEdge(f, *near, i, j);
      }
      return end;
    }
    seen[steps % 2] = now;
    ++steps;
    *changed |= Triple(f, near, i, j, k, joined);
    *shared = ShareEdge(f, *near, i, j);
    if (!*shared || near->Growths() != growths) return k + 1;
  }
  return end;
}

// A sweep's work for the pair i < j and every third face after j. A third
// face that shares no edge with either face of an edgeless pair is passed
// over: with the lists, such faces are not visited at all (the candidates
// are taken again whenever a face changed), and the third faces of a pair
// sharing an edge that lie near neither face are gone through as an idle
// run.
void SweepPair(TLMAPFACE* f, int32_t n, TNEARFACES* near, bool lists, int32_t i, int32_t j,
               std::vector<int32_t>* candidates, bool* joined) {
  // Faces that share no corner neither share an edge nor join.
  const bool touch = near->MayTouch(i, j);
  if (!touch && !near->AnyAfter(i, j, j)) return;
  bool shared = touch && ShareEdge(f, *near, i, j);
  if (touch) *joined |= Pair(SB_JoinTwoFaces, f, near, i, j);
  bool listed = false;  // the candidates are up to date
  size_t next = 0;
  for (int32_t k = j + 1; k < n; ++k) {
    if ((lists || !shared) && !listed) near->Candidates(i, j, k - 1, candidates), next = 0, listed = true;
    while (next < candidates->size() && (*candidates)[next] < k) ++next;
    if (!shared) {
      if (next == candidates->size()) break;
      k = (*candidates)[next];
      if (!ShareEdge(f, *near, j, k) && !ShareEdge(f, *near, k, i)) continue;
    } else if (lists) {
      const int32_t end = next < candidates->size() ? (*candidates)[next] : n;
      if (k < end) {
        bool changed = false;
        k = IdleRun(f, near, i, j, k, end, joined, &shared, &changed) - 1;
        if (changed) listed = false;
        continue;
      }
    }
    if (Triple(f, near, i, j, k, joined)) listed = false;
    shared = ShareEdge(f, *near, i, j);
  }
}

// Whether no pair operation (join or flip, a with b or b with a) succeeds
// on the two faces as they stand.
bool PairIdle(const TLMAPFACE& a, const TLMAPFACE& b) {
  if (!SB_FacesShareEdge(&a, &b) && !SB_FacesShareEdge(&b, &a)) return true;
  for (const bool turned : {false, true})
    for (int32_t (*operation)(TLMAPFACE*, TLMAPFACE*) : {SB_JoinTwoFaces, SB_FlipDiagonal}) {
      TLMAPFACE x, y;
      std::memcpy(&x, turned ? &b : &a, sizeof x);
      std::memcpy(&y, turned ? &a : &b, sizeof y);
      if (operation(&x, &y)) return false;
    }
  return true;
}

// A sweep that passes over the faces that take part in no change. A pair
// of faces is live when some operation would change it; the faces of no
// live pair are "still". Supposing that no state a live face passes
// through could change or be changed with a still face (checked at the
// end, from every state each live face took), a still face first in a
// triple leaves only the work of the other two, itself the same for every
// still face between two live ones: the runs of still faces, as first or
// second face of a triple, are made until the live faces come back to a
// state they had, then only the remainder of that cycle. The live faces
// fall into groups, those joined by live pairs: supposing further that no
// face of one group could change with a face of another in any states
// they took (checked at the end too), each group is swept on its own with
// every other face still, so that a run's cycle is that of one group. The
// sweep is given up, and the faces put back, when a face outside the group
// being swept would change or a run finds no cycle soon.
class TLIVESWEEP : public TWATCH {
 public:
  // `forced`: pairs of faces (a, b, a, b...) to be taken as live and swept
  // together whatever their pairs (those a sweep given up blamed).
  TLIVESWEEP(TLMAPFACE* f, int32_t n, const std::vector<int32_t>& forced)
      : f_(f),
        n_(n),
        near_(f, n, true),
        live_(static_cast<size_t>(n), 0),
        unit_(static_cast<size_t>(n), -1),
        partner_(static_cast<size_t>(n), -1) {
    std::vector<uint8_t> live(static_cast<size_t>(n), 0), kept(static_cast<size_t>(n), 0);
    up_.resize(static_cast<size_t>(n));
    for (int32_t a = 0; a < n; ++a) up_[a] = a;
    for (size_t e = 0; e + 1 < forced.size(); e += 2) {
      const int32_t a = forced[e], b = forced[e + 1];
      live[a] = live[b] = kept[a] = kept[b] = 1, Unite(a, b);
    }
    std::vector<int32_t> pairs(static_cast<size_t>(n), 0), found, around;
    for (int32_t a = 0; a < n; ++a)
      for (const int32_t b : near_.List(a))
        if (b > a && !PairIdle(f[a], f[b]))
          live[a] = live[b] = 1, ++pairs[a], ++pairs[b], partner_[a] = b, Unite(a, b), found.push_back(a),
          found.push_back(b);
    // A face that one operation of a live pair makes could change with a
    // face near the pair: the three are swept together.
    for (size_t e = 0; e < found.size(); e += 2) {
      const int32_t a = found[e], b = found[e + 1];
      for (const bool turned : {false, true})
        for (int32_t (*operation)(TLMAPFACE*, TLMAPFACE*) : {SB_JoinTwoFaces, SB_FlipDiagonal}) {
          TLMAPFACE x, y;
          std::memcpy(&x, turned ? &f[b] : &f[a], sizeof x);
          std::memcpy(&y, turned ? &f[a] : &f[b], sizeof y);
          if (!operation(&x, &y)) continue;
          const TLMAPFACE& na = turned ? y : x;
          const TLMAPFACE& nb = turned ? x : y;
          around.clear();
          std::set_union(near_.List(a).begin(), near_.List(a).end(), near_.List(b).begin(), near_.List(b).end(),
                         std::back_inserter(around));
          // A face already in the pair's group is tried no more: the group stands.
          for (const int32_t d : around) {
            if (d == a || d == b || Find(d) == Find(a)) continue;
            if (PairIdle(na, f[d]) && PairIdle(nb, f[d])) continue;
            live[d] = 1, ++pairs[a], ++pairs[b], ++pairs[d], Unite(a, d);
          }
        }
    }
    // A live pair whose faces are in no other is swept on its own.
    for (int32_t a = 0; a < n; ++a) {
      const int32_t b = partner_[a];
      partner_[a] = -1;
      if (b > a && pairs[a] == 1 && pairs[b] == 1 && !kept[a] && !kept[b]) partner_[a] = b, alone_.push_back(a);
    }
    for (const int32_t a : alone_) partner_[partner_[a]] = a, live[a] = live[partner_[a]] = 0;
    // The other live faces by the faces they may change with: each group
    // is swept on its own, the rest still.
    std::vector<int32_t> unitOf(static_cast<size_t>(n), -1);
    for (int32_t a = 0; a < n; ++a) {
      if (!live[a]) continue;
      int32_t& u = unitOf[Find(a)];
      if (u < 0) u = static_cast<int32_t>(units_.size()), units_.emplace_back();
      units_[u].push_back(a), unit_[a] = u;
    }
  }
  // The sweep; false (the faces as they were) when it was given up.
  bool Run(bool* joined) {
    std::vector<TLMAPFACE> backup(f_, f_ + n_);
    shadow_ = backup;
    mark_.assign(static_cast<size_t>(n_), 0);
    states_.resize(static_cast<size_t>(n_));
    for (int32_t a = 0; a < n_; ++a)
      if (unit_[a] >= 0 || partner_[a] >= 0) states_[a].push_back(f_[a]);
    near_.Watch(this);
    bool any = false;
    for (const std::vector<int32_t>& unit : units_) {
      if (!ok_) break;
      for (const int32_t a : order_) live_[a] = 0;
      order_ = unit;
      for (const int32_t a : order_) live_[a] = 1;
      SweepUnit(&any);
    }
    near_.Watch(nullptr);
    for (const int32_t a : alone_)
      if (ok_) any |= RunAlone(a, partner_[a]);
    if (!ok_ || !Isolated()) {
      std::memcpy(f_, backup.data(), backup.size() * sizeof(TLMAPFACE));
      return false;
    }
    for (const int32_t a : alone_) {
      std::memcpy(&f_[a], &ends_[a], sizeof(TLMAPFACE));
      std::memcpy(&f_[partner_[a]], &ends_[partner_[a]], sizeof(TLMAPFACE));
    }
    *joined = any;
    return true;
  }
  // The faces that made the sweep give up: a still face that changed, or
  // a face and one it could change with.
  const std::vector<int32_t>& Blamed() const { return blamed_; }
  // An operation changed faces i and j.
  void Took(int32_t i, int32_t j) override {
    ++changes_;
    for (const int32_t a : {i, j}) {
      if (logging_) log_.emplace_back(a, shadow_[a]);
      std::memcpy(&shadow_[a], &f_[a], sizeof(TLMAPFACE));
      if (!live_[a]) {
        ok_ = false;
        blamed_.push_back(i), blamed_.push_back(j);
        continue;
      }
      std::vector<TLMAPFACE>& states = states_[a];
      bool known = false;
      for (const TLMAPFACE& s : states) known = known || std::memcmp(&s, &f_[a], sizeof s) == 0;
      if (known) continue;
      if (states.size() == kMaxFaceStates) ok_ = false;
      states.push_back(f_[a]);
    }
  }

 private:
  static constexpr size_t kMaxStates = 32;        // a run's rounds kept, a pair alone's states allowed
  static constexpr size_t kMaxFaceStates = 128;   // the states a face of a group may take
  int32_t Find(int32_t a) {
    while (up_[a] != a) a = up_[a] = up_[up_[a]];
    return a;
  }
  void Unite(int32_t a, int32_t b) { up_[Find(a)] = Find(b); }
  // The first live face from x on, n when none.
  int32_t NextLive(int32_t x) const {
    const auto at = std::lower_bound(order_.begin(), order_.end(), x);
    return at == order_.end() ? n_ : *at;
  }
  // The sweep as the live faces (one group) see it, every other face
  // taken as still.
  void SweepUnit(bool* any) {
    std::vector<int32_t> candidates;
    for (int32_t i = 0; i < n_ && ok_;) {
      if (!live_[i]) {
        const int32_t end = NextLive(i);
        Repeat(end - i, [&] {
          for (auto at = std::lower_bound(order_.begin(), order_.end(), end); at != order_.end(); ++at)
            Ticks(*at, *at, false, any);
        });
        i = end;
        continue;
      }
      for (int32_t j = i + 1; j < n_ && ok_;) {
        if (live_[j]) {
          SweepPair(f_, n_, &near_, true, i, j, &candidates, any);
          ++j;
          continue;
        }
        const int32_t end = NextLive(j);
        Repeat(end - j, [&] { Ticks(i, end - 1, true, any); });
        j = end;
      }
      ++i;
    }
  }
  // The work of a triple whose other face is still, on the live faces k of
  // face a's list after `after`: the join then flip of a with k (back:
  // of k with a).
  void Ticks(int32_t a, int32_t after, bool back, bool* joined) {
    for (int32_t k = after;;) {
      const std::vector<int32_t>& l = near_.List(a);
      const auto at = std::upper_bound(l.begin(), l.end(), k);
      if (at == l.end()) return;
      k = *at;
      if (!live_[k]) continue;
      const int32_t first = back ? k : a, second = back ? a : k;
      *joined |= Pair(SB_JoinTwoFaces, f_, &near_, first, second);
      Pair(SB_FlipDiagonal, f_, &near_, first, second);
    }
  }
  template <class ROUND>
  void Repeat(int32_t count, const ROUND& round) {
    rounds_.clear();
    log_.clear();
    logging_ = true;
    for (int32_t step = 0; step < count && ok_; ++step) {
      for (size_t s = 0; s < rounds_.size(); ++s)
        if (AsAtRound(s)) {
          const int32_t period = static_cast<int32_t>(rounds_.size() - s);
          for (int32_t left = (count - step) % period; left > 0; --left) round();
          logging_ = false;
          return;
        }
      if (rounds_.size() == kMaxStates) ok_ = false;
      rounds_.push_back(log_.size());
      const uint64_t before = changes_;
      round();
      if (changes_ == before) break;  // a round that changed nothing does so again
    }
    logging_ = false;
  }
  // Whether the faces stand as they did when round s began: each face
  // changed since holds what it held before its first change since.
  bool AsAtRound(size_t s) {
    ++stamp_;
    for (size_t e = rounds_[s]; e < log_.size(); ++e) {
      const int32_t a = log_[e].first;
      if (mark_[a] == stamp_) continue;
      mark_[a] = stamp_;
      if (std::memcmp(&log_[e].second, &f_[a], sizeof(TLMAPFACE)) != 0) return false;
    }
    return true;
  }
  // A pair a < b alone: each third face gives it the work of its triple,
  // the join then the flip of a with b for a third face before a or after
  // b, of b with a for one between them, and its own step is the join of a
  // with b; each run of one kind is made until the pair comes back to a
  // state it had. The states it took and the last are kept. True when it
  // joined.
  bool RunAlone(int32_t a, int32_t b) {
    TLMAPFACE pair[2];
    std::memcpy(&pair[0], &f_[a], sizeof(TLMAPFACE));
    std::memcpy(&pair[1], &f_[b], sizeof(TLMAPFACE));
    bool joined = false;
    auto take = [&] {
      for (const int32_t g : {0, 1}) {
        std::vector<TLMAPFACE>& states = states_[g ? b : a];
        bool known = false;
        for (const TLMAPFACE& s : states) known = known || std::memcmp(&s, &pair[g], sizeof s) == 0;
        if (!known) states.push_back(pair[g]);
      }
    };
    take();
    auto run = [&](int kind, int32_t count) {  // 0 a with b, 1 b with a, 2 the pair's own join
      std::vector<std::pair<TLMAPFACE, TLMAPFACE>> seen;
      for (int32_t step = 0; step < count && ok_; ++step) {
        size_t at = 0;
        while (at < seen.size() && (std::memcmp(&seen[at].first, &pair[0], sizeof(TLMAPFACE)) != 0 ||
                                    std::memcmp(&seen[at].second, &pair[1], sizeof(TLMAPFACE)) != 0))
          ++at;
        if (at < seen.size()) count = step + (count - step) % static_cast<int32_t>(seen.size() - at);
        if (step == count) return;
        if (seen.size() == kMaxStates) ok_ = false;
        seen.emplace_back(pair[0], pair[1]);
        TLMAPFACE *x = &pair[kind == 1], *y = &pair[kind != 1];
        joined |= SB_JoinTwoFaces(x, y) != 0;
        if (kind != 2) SB_FlipDiagonal(x, y);
        take();
      }
    };
    run(0, a), run(1, b - a - 1), run(2, 1), run(0, n_ - 1 - b);
    if (states_[a].size() > kMaxStates || states_[b].size() > kMaxStates) ok_ = false;
    ends_.resize(static_cast<size_t>(n_));
    ends_[a] = pair[0], ends_[b] = pair[1];
    return joined;
  }
  // The states a face took: a still face stands as it was.
  const std::vector<TLMAPFACE>& StatesOf(int32_t a) {
    if (unit_[a] >= 0 || partner_[a] >= 0) return states_[a];
    still_.assign(1, f_[a]);
    return still_;
  }
  // Whether no face that changed could, in any state it took, change or
  // be changed with a face of its list other than those it was swept with
  // (the live faces together, a pair alone with its partner), in any state
  // that one took.
  bool Isolated() {
    bool isolated = true;
    for (int32_t a = 0; a < n_; ++a) {
      if (unit_[a] < 0 && partner_[a] < 0) continue;
      const std::vector<TLMAPFACE>& mine = states_[a];
      for (const int32_t c : near_.List(a)) {
        if (c == partner_[a] || (unit_[a] >= 0 && unit_[a] == unit_[c])) continue;
        // Two faces that both change are taken once. Their first states
        // are idle: faces that shared a corner then were tried at the
        // start, those of a live pair put in one group.
        if (c < a && (unit_[c] >= 0 || partner_[c] >= 0)) continue;
        const std::vector<TLMAPFACE>& theirs = StatesOf(c);
        bool idle = true;
        for (size_t s = 0; s < mine.size() && idle; ++s)
          for (size_t t = s == 0 ? 1 : 0; t < theirs.size(); ++t)
            if (!PairIdle(mine[s], theirs[t])) {
              blamed_.push_back(a), blamed_.push_back(c);
              idle = isolated = false;
              break;
            }
      }
    }
    return isolated;
  }

  TLMAPFACE* f_;
  int32_t n_;
  TNEARFACES near_;
  std::vector<uint8_t> live_;   // the faces of the group being swept
  std::vector<int32_t> order_;  // the live faces, ascending
  std::vector<std::vector<int32_t>> units_;  // the groups of faces swept together, each ascending
  std::vector<int32_t> unit_;                // each face's group, -1 when none
  std::vector<int32_t> up_;                  // the groups being found: each face's parent
  std::vector<std::vector<TLMAPFACE>> states_;  // the states each changing face took
  std::vector<int32_t> partner_;  // the other face of a pair swept alone, -1
  std::vector<int32_t> alone_;    // the first faces of the pairs swept alone
  std::vector<TLMAPFACE> ends_;   // their faces as the sweep leaves them
  std::vector<TLMAPFACE> still_;
  std::vector<int32_t> blamed_;
  std::vector<TLMAPFACE> shadow_;  // each face as it stood before its last change
  std::vector<std::pair<int32_t, TLMAPFACE>> log_;  // the faces a run changed, as they were
  std::vector<size_t> rounds_;      // where each round of a run began in the log
  std::vector<uint32_t> mark_;      // faces met in a comparison, by its stamp
  uint32_t stamp_ = 0;
  uint64_t changes_ = 0;
  bool ok_ = true, logging_ = false;
};

// One sweep over every pair and every third face after it; true when a
// join happened.
bool Sweep(TLMAP* list, bool lists) {
  TLMAPFACE* f = list->Faces;
  const int32_t n = static_cast<int32_t>(list->NbFaces);
  bool joined = false;
  if (lists && n >= kLiveSweepFrom) {
    // A sweep given up is tried again with the faces it blamed taken as
    // live, a few times.
    std::vector<int32_t> forced;
    for (int32_t attempt = 0; attempt < kLiveSweepTries; ++attempt) {
      TLIVESWEEP live(f, n, forced);
      if (live.Run(&joined)) return joined;
      if (live.Blamed().empty()) break;
      forced.insert(forced.end(), live.Blamed().begin(), live.Blamed().end());
    }
  }
  TNEARFACES near(f, n, lists);
  std::vector<int32_t> candidates;
  for (int32_t i = 0; i < n; ++i)
    for (int32_t j = i + 1; j < n; ++j) SweepPair(f, n, &near, lists, i, j, &candidates, &joined);
  return joined;
}

void RunSeries(TLMAP* list, const double (&tolerances)[4], void (*join)(TLMAP*)) {
  for (double t : tolerances) {
    SB_Var.JoinTolerance = SB_Var.JoinLineTolerance = t;
    if (SB_Var.MapBuildFailed) return;
    join(list);
  }
}

}  // namespace

int32_t SB_SamePointUV(const TLMAPVERTEX* a, const TLMAPVERTEX* b) {
  const double t = SB_Var.JoinTolerance, uv = UvTolerance();
  return std::fabs(a->X - b->X) < t && std::fabs(a->Y - b->Y) < t && std::fabs(a->Z - b->Z) < t &&
         std::fabs(a->U - b->U) < uv && std::fabs(a->V - b->V) < uv;
}

double SB_PointLineDistance(const TLMAPVERTEX* p, const TLMAPVERTEX* a, const TLMAPVERTEX* b) {
  double e[3], d[3];
  Sub(*b, *a, e), Sub(*p, *a, d);
  const double length2 = Dot(e, e);
  if (length2 == 0) return kFarAway;
  const double t = Dot(d, e) / length2;
  const double r[3] = {d[0] - t * e[0], d[1] - t * e[1], d[2] - t * e[2]};
  return std::sqrt(Dot(r, r));
}

int32_t SB_FacesCoplanar(const TLMAPFACE* a, const TLMAPFACE* b) {
  const double n[3] = {a->NormalX, a->NormalY, a->NormalZ};
  for (const TLMAPVERTEX& p : b->V) {
    double d[3];
    Sub(p, a->V[0], d);
    if (std::fabs(Dot(d, n)) > kPlaneTolerance) return 0;
  }
  return 1;
}

int32_t SB_FacesShareEdge(const TLMAPFACE* a, const TLMAPFACE* b) {
  if (Marked(*a) || Marked(*b)) return 0;
  int32_t shared = 0;
  for (int32_t i = 0; i < 3 && shared + 3 - i >= 2; ++i)  // stops once two can no longer match
    for (const TLMAPVERTEX& w : b->V)
      if (SB_SamePointUV(&a->V[i], &w)) {
        ++shared;
        break;
      }
  return shared >= 2;
}

int32_t SB_JoinTwoFaces(TLMAPFACE* a, TLMAPFACE* b) {
  int32_t match[3];
  if (Marked(*a) || Marked(*b) || !MatchTwo(*a, *b, match)) return 0;
  int32_t usedA[3] = {0, 0, 0}, usedB[3] = {0, 0, 0};
  for (int32_t i = 0; i < 3; ++i)
    if (match[i] >= 0) usedA[i] = 1, usedB[match[i]] = 1;
  const TLMAPVERTEX fa = a->V[Unmatched(usedA)], fb = b->V[Unmatched(usedB)];
  for (int32_t i = 0; i < 3; ++i) {
    if (match[i] < 0) continue;
    if (SB_PointLineDistance(&fb, &a->V[i], &fa) < SB_Var.JoinLineTolerance && UvOnEdge(a->V[i], fa, fb)) {
      a->V[i] = fb;
      b->Done |= kMarked;
      return 1;
    }
  }
  return 0;
}

int32_t SB_FlipDiagonal(TLMAPFACE* a, TLMAPFACE* b) {
  int32_t match[3];
  if (Marked(*a) || Marked(*b) || !MatchTwo(*a, *b, match)) return 0;
  int32_t usedA[3] = {0, 0, 0}, usedB[3] = {0, 0, 0}, firstA = -1, secondB = -1;
  for (int32_t i = 0; i < 3; ++i) {
    if (match[i] < 0) continue;
    usedA[i] = 1, usedB[match[i]] = 1;
    if (firstA < 0)
      firstA = i;
    else
      secondB = match[i];
  }
  const TLMAPVERTEX fa = a->V[Unmatched(usedA)], fb = b->V[Unmatched(usedB)];
  if (!MappingReaches(*a, fb) || !MappingReaches(*b, fa)) return 0;
  TLMAPFACE na = *a, nb = *b;
  na.V[firstA] = fb;
  nb.V[secondB] = fa;
  double before[3], after[3];
  RawNormal(*a, before), RawNormal(na, after);
  if (!(Dot(before, after) > 0)) return 0;
  RawNormal(*b, before), RawNormal(nb, after);
  if (!(Dot(before, after) > 0)) return 0;
  *a = na, *b = nb;
  return 1;
}

void SB_RemoveMarkedFaces(TLMAP* list) {
  uint32_t kept = 0;
  for (uint32_t i = 0; i < list->NbFaces; ++i)
    if (!Marked(list->Faces[i])) list->Faces[kept++] = list->Faces[i];
  list->NbFaces = kept;
}

void SB_JoinCluster(TLMAP* list) {
  bool joined = true;
  while (joined) {
    joined = Sweep(list, true);
    SB_RemoveMarkedFaces(list);
  }
}

void SB_JoinClusterPlain(TLMAP* list) {
  bool joined = true;
  while (joined) {
    joined = Sweep(list, false);
    SB_RemoveMarkedFaces(list);
  }
}

void SB_JoinAlligned(TLMAP* list) {
  if (list->NbFaces == 0 || SB_Var.MapBuildFailed) return;
  TJOINLISTS lists;
  if (!AllocateLists(list->NbFaces, &lists)) return;
  uint32_t out = 0;
  while (list->NbFaces) {
    TLMAP cluster{TakeCoplanarCluster(lists.Cluster, list), lists.Cluster, list->Capacity};
    SB_JoinCluster(&cluster);
    std::memcpy(lists.Output + out, cluster.Faces, cluster.NbFaces * sizeof(TLMAPFACE));
    out += cluster.NbFaces;
  }
  std::memcpy(list->Faces, lists.Output, out * sizeof(TLMAPFACE));
  list->NbFaces = out;
  SB_Release(lists.Cluster);
  SB_Release(lists.Output);
}

void SB_JoinAllignedBig(TLMAP* list) { SB_JoinAlligned(list); }

void SB_JoinSeriesFine(TLMAP* list) {
  static constexpr double kFine[4] = {0.000001, 0.00001, 0.0001, SB_FINEJOINTOLERANCE};
  RunSeries(list, kFine, SB_JoinAlligned);
}

void SB_JoinSeriesCoarse(TLMAP* list) {
  static constexpr double kCoarse[4] = {0.01, 0.1, 1.0, 2.0};
  RunSeries(list, kCoarse, SB_JoinAllignedBig);
}
