uniform vec4 up, right;
uniform mat4 worldViewProjMatrix;
/* uniform float x; */
