#include "view_3d.h"

#include <GL/gl.h>

#include "mesh_plot_math.h"
#include "numeric.h"
#include "tooth_profile.h"
#include "view_3d_math.h"

namespace morvell {

namespace {

void difference(const Vertex3d& a, const Vertex3d& b, float out[3]) {
  out[0] = a.x - b.x;
  out[1] = a.y - b.y;
  out[2] = a.z - b.z;
}

void vertex(const Vertex3d& v) { glVertex3f(v.x, v.y, v.z); }

// Draws one gear: gear 0 the pinion at the origin with the design's helix hand, gear 1 the wheel at
// the centre distance with the opposite hand, turned by half a pitch (plus half a turn) to mesh.
void draw_gear(DesignData& d, int gear, float depth) {
  const int32_t z = d.teeth[gear];
  const float b = d.face_width[gear];
  const int32_t hand = gear == 0 ? d.helix_hand : -d.helix_hand;

  generate_gear_outline(d, gear);
  ProfilePoint outline[kProfileSamplePoints];
  sample_profile_points(d.profile_points, outline);

  const long double twist = slice_twist(hand, b, d.helix_lead[gear]);

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0.0f, gear == 0 ? 0.0f : d.centre_distance, -depth);
  glRotatef(d.view_rotation_3d, 0.0f, 1.0f, 0.0f);
  d.wheel_rotation_3d = gear == 0 ? 0.0f : float(360.0L / (2 * ld(d.teeth[1])) + 180);
  glRotatef(d.wheel_rotation_3d, 0.0f, 0.0f, 1.0f);

  const auto at = [&](int k, int slice, int32_t tooth) {
    return tooth_vertex(outline[k].x, outline[k].y, slice, tooth, z, b, twist);
  };
  float e1[3], e2[3];
  for (int32_t i = 0; i < z; ++i) {
    // Flanks, root and tip: one quadrilateral per outline segment and slice.
    for (int j = 0; j < kView3dSlices - 1; ++j) {
      for (int k = 0; k < kProfileSamplePoints - 1; ++k) {
        const Vertex3d v1 = at(k, j, i), v2 = at(k, j + 1, i), v3 = at(k + 1, j + 1, i), v4 = at(k + 1, j, i);
        difference(v1, v2, e1);
        difference(v2, v3, e2);
        glBegin(GL_QUADS);
        set_face_normal(d, e1, e2);
        vertex(v1), vertex(v2), vertex(v3), vertex(v4);
        glEnd();
      }
    }
    // End faces: a fan of triangles from the axis to the outline on the first and the last slice.
    for (int face = 0; face < 2; ++face) {
      const int slice = face == 0 ? 0 : kView3dSlices - 1;
      const Vertex3d c{0.0f, 0.0f, face == 0 ? b / 2 : -b / 2};
      for (int k = 0; k < kProfileSamplePoints - 1; ++k) {
        const Vertex3d v = at(k, slice, i), w = at(k + 1, slice, i);
        difference(v, c, e1);
        difference(w, v, e2);
        glBegin(GL_TRIANGLES);
        if (face == 0) {
          set_face_normal(d, e1, e2);
        } else {
          set_face_normal(d, e2, e1);  // the opposite normal: a x b turned round
        }
        vertex(c), vertex(v), vertex(w);
        glEnd();
      }
    }
  }
}

// The lights stand above the wheel and below the pinion of the design shown, in the eye co-ordinates
// of an untransformed view: placed anew for each paint, so that a smaller or larger design is lit as
// the first one was.
void place_lights(const DesignData& d) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const GLfloat above[] = {0.0f, float(ld(d.centre_distance) + d.tip_diameter[1]), 0.0f, 1.0f};
  const GLfloat below[] = {0.0f, float(-ld(d.centre_distance) - d.tip_diameter[0]), 0.0f, 1.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, above);
  glLightfv(GL_LIGHT1, GL_POSITION, below);
}

}  // namespace

void set_face_normal(DesignData& d, const float a[3], const float b[3]) {
  unit_normal(a, b, d.face_normal);
  glNormal3fv(d.face_normal);
}

void init_3d_view(DesignData& d) {
  d.pan_x_3d = 0;
  d.pan_y_3d = 0;
  d.view_rotation_3d = 45;
  d.wheel_rotation_3d = 0;

  glShadeModel(GL_SMOOTH);
  glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

  const GLfloat ambient[] = {0.3f, 0.3f, 0.3f, 1.0f};
  const GLfloat diffuse[] = {0.7f, 0.7f, 0.7f, 1.0f};
  const GLfloat specular[] = {0.3f, 0.3f, 0.3f, 0.0f};
  for (GLenum light : {GL_LIGHT0, GL_LIGHT1}) {
    glLightfv(light, GL_AMBIENT, ambient);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, specular);
  }
  place_lights(d);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHT1);

  const GLfloat material_ambient[] = {0.1f, 0.1f, 0.1f, 1.0f};
  const GLfloat material_diffuse[] = {0.9f, 0.9f, 0.9f, 1.0f};
  const GLfloat material_specular[] = {0.6f, 0.6f, 0.6f, 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material_ambient);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material_diffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, material_specular);
  glMaterialf(GL_FRONT, GL_SHININESS, 128.0f);
}

void paint_3d_view(DesignData& d, int viewport) {
  // A paint may come at any moment (Qt decides), so the outline another caller left in profile_points
  // is kept and put back.
  const ToothProfile kept = d.profile_points;

  glViewport(0, 0, viewport, viewport);
  const ViewBounds3d v = compute_view_bounds_3d(d);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const float depth = float(view_3d_depth(d));
  glOrtho(v.left, v.right, v.bottom, v.top, 0.0, 2.0 * double(depth));
  place_lights(d);

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (d.view_selection == kViewPinion || d.view_selection == kViewMesh) draw_gear(d, 0, depth);
  if (d.view_selection == kViewWheel || d.view_selection == kViewMesh) draw_gear(d, 1, depth);
  glFlush();

  d.profile_points = kept;
}

}  // namespace morvell
