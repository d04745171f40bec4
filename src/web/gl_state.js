/* gl_state.js - GL 1.1 state calls that Emscripten's legacy GL emulation
   lacks, as an Emscripten JS library (emcc --js-library gl_state.js).

   glPushAttrib / glPopAttrib  save and restore, whatever the mask, the
       state the show and the bitmap text change: the current colour, the
       enables of 2D texturing, blending, alpha test, depth test, scissor
       test and face culling, the blend factors, the bound 2D texture, the
       viewport, the scissor box, the clear colour and the matrix mode.
   web_gl_current_color(float rgba[4])  the current colour (glColor), which
       the emulation keeps to itself and glGet cannot return in WebGL.
   glBlendFunc, glBlendFuncSeparate, glScissor, glClearColor  as WebGL's,
       and kept in a copy that glPushAttrib reads: asking WebGL for them
       waits for the GPU process to finish all the drawing sent before
       (about a millisecond each on SwiftShader, most of an exported frame).
   glTexImage2D  as Emscripten's (WebGL 1), except that an alpha-only image
       (GL_ALPHA) is stored as luminance 1 with its alpha: the emulation's
       GL_MODULATE multiplies the colour by the whole texel, which would
       make an alpha texture's colour black, while GL keeps the colour and
       multiplies only the alpha. Luminance 1 gives GL's result under
       GL_MODULATE, the only texture environment the show uses. */
mergeInto(LibraryManager.library, {
  $web_attrib_stack: [],
  // GL's initial blend factors and clear colour; the scissor box starts as
  // the drawing buffer's size when the context was made, asked for once.
  $web_gl_set: { blend: [1, 0, 1, 0], clear: [0, 0, 0, 0], scissor: null },

  glBlendFunc__deps: ['$web_gl_set'],
  glBlendFunc: function(src, dst) {
    web_gl_set.blend = [src, dst, src, dst];
    GLctx.blendFunc(src, dst);
  },
  glBlendFuncSeparate__deps: ['$web_gl_set'],
  glBlendFuncSeparate: function(src_rgb, dst_rgb, src_alpha, dst_alpha) {
    web_gl_set.blend = [src_rgb, dst_rgb, src_alpha, dst_alpha];
    GLctx.blendFuncSeparate(src_rgb, dst_rgb, src_alpha, dst_alpha);
  },
  glScissor__deps: ['$web_gl_set'],
  glScissor: function(x, y, width, height) {
    web_gl_set.scissor = [x, y, width, height];
    GLctx.scissor(x, y, width, height);
  },
  glClearColor__deps: ['$web_gl_set'],
  glClearColor: function(r, g, b, a) {
    web_gl_set.clear = [r, g, b, a];
    GLctx.clearColor(r, g, b, a);
  },

  glPushAttrib__deps: ['$GLImmediate', '$GLEmulation', '$web_attrib_stack', '$web_gl_set'],
  glPushAttrib: function(mask) {
    var gl = GLctx;
    var texture = gl.getParameter(gl.TEXTURE_BINDING_2D);
    web_attrib_stack.push({
      color: Array.from(GLImmediate.clientColor),
      texture_2d: GLImmediate.TexEnvJIT.getTexUnitType(0) == 0xDE1,
      alpha_test: GLEmulation.alphaTestEnabled,
      caps: [gl.BLEND, gl.DEPTH_TEST, gl.SCISSOR_TEST, gl.CULL_FACE].map(function(cap) {
        return [cap, gl.isEnabled(cap)];
      }),
      blend: web_gl_set.blend.slice(),
      texture: texture ? texture.name : 0,
      viewport: Array.from(gl.getParameter(gl.VIEWPORT)),
      scissor: (web_gl_set.scissor = web_gl_set.scissor || Array.from(gl.getParameter(gl.SCISSOR_BOX))).slice(),
      clear: web_gl_set.clear.slice(),
      matrix_mode: GLImmediate.currentMatrix == 0 ? 0x1700 : GLImmediate.currentMatrix == 1 ? 0x1701 : 0x1702,
    });
  },

  glPopAttrib__deps: ['$web_attrib_stack', 'glEnable', 'glDisable', 'glColor4f', 'glBindTexture',
                      'glMatrixMode', 'glBlendFuncSeparate', 'glViewport', 'glScissor', 'glClearColor'],
  glPopAttrib: function() {
    var s = web_attrib_stack.pop();
    if (!s)
      return;  // GL would report a stack underflow and change nothing
    var set = function(cap, on) { if (on) _glEnable(cap); else _glDisable(cap); };
    _glColor4f(s.color[0], s.color[1], s.color[2], s.color[3]);
    set(0xDE1, s.texture_2d);
    set(0xBC0, s.alpha_test);
    s.caps.forEach(function(c) { set(c[0], c[1]); });
    _glBlendFuncSeparate(s.blend[0], s.blend[1], s.blend[2], s.blend[3]);
    _glBindTexture(0xDE1, s.texture);
    _glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
    _glScissor(s.scissor[0], s.scissor[1], s.scissor[2], s.scissor[3]);
    _glClearColor(s.clear[0], s.clear[1], s.clear[2], s.clear[3]);
    _glMatrixMode(s.matrix_mode);
  },

  glTexImage2D__deps: ['$GL', '$emscriptenWebGLGetTexPixelData'],
  glTexImage2D: function(target, level, internalFormat, width, height, border, format, type, pixels) {
    if (format != 0x1906 /* GL_ALPHA */ || type != 0x1401 /* GL_UNSIGNED_BYTE */ || !pixels) {
      GLctx.texImage2D(target, level, internalFormat, width, height, border, format, type,
                       pixels ? emscriptenWebGLGetTexPixelData(type, format, width, height, pixels, internalFormat) : null);
      return;
    }
    var stride = Math.ceil(width / GL.unpackAlignment) * GL.unpackAlignment;
    var texels = new Uint8Array(width * height * 2);
    for (var y = 0; y < height; ++y) {
      var row = pixels + y * stride;
      for (var x = 0, i = y * width * 2; x < width; ++x, i += 2) {
        texels[i] = 255;
        texels[i + 1] = HEAPU8[row + x];
      }
    }
    GLctx.pixelStorei(GLctx.UNPACK_ALIGNMENT, 1);
    GLctx.texImage2D(target, level, GLctx.LUMINANCE_ALPHA, width, height, border, GLctx.LUMINANCE_ALPHA, type, texels);
    GLctx.pixelStorei(GLctx.UNPACK_ALIGNMENT, GL.unpackAlignment);
  },

  web_gl_current_color__deps: ['$GLImmediate'],
  web_gl_current_color: function(rgba) {
    HEAPF32.set(GLImmediate.clientColor, rgba >> 2);
  },
});
